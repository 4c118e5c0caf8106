#pragma once
// The wait panel AguardeGenPnl: a grey panel over the page set that tells
// the user to wait while a SAT call blocks the window. It holds the heading
// lbl_msg_1, the busy wheel gen_indicador and the message lbl_msg.

#include <QFrame>

class QLabel;
class TBusyWheel;

class TWaitPanel : public QFrame {
    Q_OBJECT

public:
    static constexpr int kWidth = 525;
    static constexpr int kHeight = 140;
    static constexpr int kWheelSize = 50;

    explicit TWaitPanel(QWidget* parent = nullptr);

    QLabel* lbl_msg_1 = nullptr;
    TBusyWheel* gen_indicador = nullptr;
    QLabel* lbl_msg = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;
};
