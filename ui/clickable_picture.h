#pragma once
// A picture that reacts to a click like a button: a left press and release
// inside it emits clicked().

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

private:
    bool pressed_ = false;
};
