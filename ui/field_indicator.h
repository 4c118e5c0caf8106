#pragma once
// The small round indicator beside a field that has a rule, named after the
// field with the ending "_check". It shows "OK" on green or "X" on red and
// only informs: no operation reads it.

#include <QColor>
#include <QString>
#include <QWidget>

class TFieldIndicator : public QWidget {
    Q_OBJECT

public:
    static constexpr int kDiameter = 22;
    static const QColor kOkFill; // 6723891: RGB 51, 153, 102
    static const QColor kXFill;  // red
    static const QColor kBorder; // grey
    static const QColor kText;   // white

    // Designed as every indicator is: red with the caption "X".
    explicit TFieldIndicator(QWidget* parent = nullptr);

    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    QColor Fill() const { return fill_; }
    void SetFill(const QColor& fill);
    QColor Border() const { return border_; }
    void SetBorder(const QColor& border);
    QColor TextColor() const { return text_; }
    void SetTextColor(const QColor& text);

    // Takes fill, border, text colour and font of `model`.
    void CopyLookFrom(const TFieldIndicator& model);

    QSize sizeHint() const override { return {kDiameter, kDiameter}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString caption_;
    QColor fill_;
    QColor border_;
    QColor text_;
};
