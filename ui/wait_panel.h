#pragma once
// The wait panel AguardeGenPnl: a grey panel over the page set that tells
// the user to wait while a SAT call blocks the window. It holds the heading
// lbl_msg_1, the busy wheel gen_indicador and the message lbl_msg.

#include <QFrame>

class QLabel;
class QPushButton;
class TBusyWheel;

// "O equipamento SAT não responde há N s."
QString SilenceText(int seconds);

class TWaitPanel : public QFrame {
    Q_OBJECT

public:
    static constexpr int kWidth = 525;
    static constexpr int kHeight = 140;
    static constexpr int kWheelSize = 50;
    // The height while it also tells how long the device has been silent.
    static constexpr int kSilentHeight = 200;

    explicit TWaitPanel(QWidget* parent = nullptr);

    // How long the device has been silent, and the button that stops
    // waiting for it; hidden again by HideSilence (and by a new wait).
    void ShowSilence(int seconds);
    void HideSilence();

    QLabel* lbl_msg_1 = nullptr;
    TBusyWheel* gen_indicador = nullptr;
    QLabel* lbl_msg = nullptr;
    QLabel* lbl_silencio = nullptr;
    QPushButton* btnParar = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;
};
