#pragma once
// The one modal message dialog of the program. Every message to the user goes
// through ShowMessageDialog; bracketed markers in the text ("[i]", "[e]",
// "[sn]", ...) choose its title, icon and buttons and are taken out before the
// text is shown.

#include <QDialog>
#include <QString>

#include <string>

class QLabel;
class QPushButton;
class QToolButton;
class QWidget;

// Modal results of the dialog, as 16-bit values for the caller.
namespace MessageResult {
inline constexpr quint16 None = 0;
inline constexpr quint16 Ok = 1;
inline constexpr quint16 Cancel = 2;
inline constexpr quint16 Edit = 4;
inline constexpr quint16 Yes = 6;
inline constexpr quint16 No = 7;
} // namespace MessageResult

class TFMensagem : public QDialog {
    Q_OBJECT
public:
    explicit TFMensagem(QWidget* parent = nullptr);

    // The text to show, markers still in it; lines are separated by CR LF.
    void setMessage(const QString& text);
    QString message() const { return text_; }

    // Escape never closes the dialog; the window's own close request (Alt+F4
    // through a window manager) counts as Cancelar.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWidgets();
    QPushButton* makeButton(const char* objectName, const QString& caption, int width,
                            const QString& glyph);
    void FormShow();
    quint16 FormKeyDown(int key, Qt::KeyboardModifiers modifiers) const;
    quint16 mouseDownResult(QObject* watched) const;

    QString text_;

    QLabel* img_top = nullptr;
    QLabel* lbl_caption = nullptr;
    QToolButton* btnClose = nullptr;
    QWidget* panel_msg = nullptr;
    QWidget* Panel1 = nullptr;
    QWidget* Panel2 = nullptr;
    QWidget* Panel3 = nullptr;
    QLabel* ImageC = nullptr;
    QLabel* ImageW = nullptr;
    QLabel* ImageE = nullptr;
    QLabel* ImageI = nullptr;
    QLabel* ImageP = nullptr;
    QLabel* Msg = nullptr;
    QPushButton* BtnOK = nullptr;
    QPushButton* BtnSim = nullptr;
    QPushButton* BtnNao = nullptr;
    QPushButton* BtnCan = nullptr;
    QPushButton* btnAlt = nullptr;
    QPushButton* btnView = nullptr;
    QPushButton* btnPrint = nullptr;
};

// Shows `text` in a new TFMensagem, waits until the user answers and returns
// the modal result (see MessageResult). Informational callers ignore it.
quint16 ShowMessageDialog(const QString& text);

// The same for a core text in Windows-1252.
quint16 ShowMessageDialog(const std::string& cp1252Text);

// A bare literal is ambiguous between the two encodings: say which one it is
// with QStringLiteral(...) or std::string(...).
quint16 ShowMessageDialog(const char* text) = delete;

// For tests: the next ShowMessageDialog call returns `answer` at once instead
// of showing the dialog. One shot: later calls show the dialog again.
void SetNextMessageDialogAnswer(quint16 answer);

// For tests: the text handed to the latest ShowMessageDialog call, markers
// included, whether it was shown or answered by SetNextMessageDialogAnswer.
QString LastMessageDialogText();
