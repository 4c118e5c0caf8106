#pragma once
// A picture that reacts to a click like a button: a left press and release
// inside it emits clicked(). It is a stop of the tab order (a click does not
// take the focus), and Enter or Space on it emit clicked() too; a dotted
// frame shows it has the keyboard.

#include <QLabel>

class TClickablePicture : public QLabel {
    Q_OBJECT

public:
    explicit TClickablePicture(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool pressed_ = false;
};
