#pragma once
// The credits window: a small dialog that Ctrl+J opens in the main window and
// that any key closes.

#include <QDialog>

class QKeyEvent;

class TFEasterEgg : public QDialog {
    Q_OBJECT
public:
    explicit TFEasterEgg(QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// True for J with Ctrl among the held modifiers (Ctrl+Shift+J too).
bool IsEasterEggShortcut(const QKeyEvent& event);

// Shows the credits window modally, owned by `owner`, and destroys it when it
// closes. While one is shown, a second call does nothing.
void ShowEasterEgg(QWidget* owner);
