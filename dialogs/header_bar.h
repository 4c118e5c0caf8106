#pragma once
// The header bar AdvPanel1 of the main window (which has no system caption)
// and of the loading window that covers it, so that the two look the same:
// logo, the maker's name and web address, program title and version, a
// picture at the right, and the minimise and close buttons. Its texts and
// pictures let presses through to the bar, which drags the window.

#include <QWidget>

class QLabel;
class QToolButton;

class THeaderBar : public QWidget {
    Q_OBJECT

public:
    static constexpr int kHeight = 74;
    static constexpr int kButtonSize = 23;

    explicit THeaderBar(QWidget* parent = nullptr);

    QLabel* Image4 = nullptr; // logo, 214 x 60 at (7, 4)
    QLabel* Label2 = nullptr; // the maker's company name
    QLabel* Label1 = nullptr; // the maker's web address
    QLabel* lbl_sm_program = nullptr;
    QLabel* lbl_sm_version = nullptr;
    QLabel* Image9 = nullptr; // 48 x 48 at the right
    QToolButton* btnMin = nullptr;
    QToolButton* btnClose = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void LayOut();
};
