#pragma once
// The loading window: a borderless window that lies exactly over the main
// window with one message while the SAT library is being loaded. At most one
// exists; MostraCarregando creates or reuses it, FechaCarregando destroys it.

#include <QPixmap>
#include <QString>
#include <QWidget>

class QLabel;
class QPushButton;
class THeaderBar;

class TFMsgSat : public QWidget {
    Q_OBJECT
public:
    explicit TFMsgSat(QWidget* parent = nullptr);

    void setLogo(const QPixmap& logo);
    void setMessage(const QString& text);
    // Shows "v." followed by the program's version.
    void setVersion(const QString& versaoDoPrograma);
    // A busy indicator (the window's wheel) shown under the message; the
    // window takes it over.
    void setIndicator(QWidget* indicator);
    // silenceText under the message and the button that stops waiting.
    void ShowSilence(const QString& silenceText);

    THeaderBar* header() const { return AdvPanel1; }
    QPushButton* btnParar = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layOut();

    THeaderBar* AdvPanel1 = nullptr;
    QLabel* Image7 = nullptr;
    QLabel* lbl_msg = nullptr;
    QLabel* lbl_silencio = nullptr;
    QWidget* indicator_ = nullptr;
};

// Shows the loading window over `cover` (its top, left, height and width) with
// `text` and the program's version, and lets it paint before returning. A
// null `logo` keeps the window's own logo.
void MostraCarregando(QWidget& cover, const QString& text, const QString& versaoDoPrograma,
                      const QPixmap& logo = QPixmap());

// Destroys the loading window if there is one.
void FechaCarregando();

// The loading window now shown, or nullptr.
TFMsgSat* CurrentLoadingWindow();
