#include "dialogs/splash_form.h"

#include "dialogs/design_fonts.h"
#include "dialogs/on_screen.h"
#include "dialogs/pictures.h"
#include "dialogs/program_identity.h"
#include "dialogs/threaded_timer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QThread>

#include <algorithm>
#include <memory>

namespace {

QLabel* MakeLabel(QWidget* parent, const char* objectName, const QFont& font, const QString& colour,
                  QPoint at) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: ") + colour +
                         QStringLiteral("; background: transparent;"));
    label->move(at);
    return label;
}

TFSplashForm::TickSource SteadyMilliseconds() {
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    return [clock] { return static_cast<std::uint32_t>(clock->elapsed()); };
}

} // namespace

TFSplashForm::TFSplashForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), ticks_(SteadyMilliseconds()) {
    setObjectName(QStringLiteral("FSplashForm"));
    resize(470, 182);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0, 0, 255));
    setPalette(palette);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setGeometry(3, 3, 464, 176);
    panel->setAutoFillBackground(true);
    QPalette white = panel->palette();
    white.setColor(QPalette::Window, Qt::white);
    panel->setPalette(white);

    MakePicture(panel, "Image2", QStringLiteral("background_soft"), panel->rect());
    MakePicture(panel, "Image1", QStringLiteral("logo"), QRect(3, 4, 127, 70));
    MakePicture(panel, "Image3", QStringLiteral("device"), QRect(292, 4, 169, 169));

    titulo_ = MakeLabel(panel, "lbl_titulo", CourierNewFont(8, true), QStringLiteral("#0000ff"),
                        {135, 8});
    versao_ = MakeLabel(panel, "lbl_versao", CourierNewFont(8, true), QStringLiteral("#000000"),
                        {135, 28});

    QLabel* slogan =
        MakeLabel(panel, "Label52", ArialFont(8, false), QStringLiteral("#000000"), {5, 76});
    slogan->setText(MakerSlogan());
    slogan->adjustSize();

    // The two right-justified lines end just before the product picture.
    QLabel* rights =
        MakeLabel(panel, "Label2", CourierNewFont(8, true), QStringLiteral("#000000"), {5, 143});
    rights->setText(MakerName());
    QLabel* site =
        MakeLabel(panel, "Label3", CourierNewFont(8, true), QStringLiteral("#0000ff"), {5, 159});
    site->setText(MakerWebAddress());
    for (QLabel* line : {rights, site}) {
        line->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        line->resize(282, line->sizeHint().height());
    }

    closeTimer_ = new TThreadedTimer(this);
    closeTimer_->setObjectName(QStringLiteral("ThreadedTimer1"));
    closeTimer_->setInterval(3000);
    closeTimer_->setOnTimer([this] { ThreadedTimer1Timer(); });

    fadeTimer_ = new TThreadedTimer(this);
    fadeTimer_->setObjectName(QStringLiteral("ThreadedTimer2"));
    fadeTimer_->setOnTimer([this] { ThreadedTimer2Timer(); });

    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
}

void TFSplashForm::setTickSource(TickSource ticks) {
    ticks_ = ticks ? std::move(ticks) : SteadyMilliseconds();
}

int TFSplashForm::AlphaForTransparency(int t) {
    // Whole hundredths, so the product is exact: (100 - t) * 255 / 100 with
    // integer division is the truncation of (100 - t) * 2.55.
    const int clamped = std::clamp(t, 0, 100);
    return (100 - clamped) * 255 / 100;
}

void TFSplashForm::SetTransparency(int t) {
    // Qt keeps a window's opacity as a byte; half a step above the alpha makes
    // the stored byte exactly that alpha. Platforms without translucent
    // windows ignore it and show the window opaque.
    const int alpha = AlphaForTransparency(t);
    setWindowOpacity((alpha + 0.5) / 255.0);
}

void TFSplashForm::showEvent(QShowEvent* event) {
    SetTransparency(100);
    QDialog::showEvent(event);
    fadeTimer_->setEnabled(true);
}

void TFSplashForm::ThreadedTimer2Timer() {
    fadeTimer_->setEnabled(false);
    QPointer<TFSplashForm> self(this);
    fadeIn();
    if (self) {
        closeTimer_->setEnabled(true);
    }
}

void TFSplashForm::ThreadedTimer1Timer() {
    closeTimer_->setEnabled(false);
    close();
}

void TFSplashForm::fadeIn() {
    QPointer<TFSplashForm> self(this);
    for (int t = 100; t >= 2; t -= 2) {
        SetTransparency(t);
        // Each step reaches the window system (and so a compositor) before
        // the wait, not all of them at once after the fade.
        SyncWithWindowSystem();
        waitResponsively(kFadeStepWaitMs);
        if (!self || !isVisible()) {
            return;
        }
    }
}

void TFSplashForm::waitResponsively(int milliseconds) {
    // Unsigned difference, so a clock that wraps around still ends the wait.
    // The short sleep keeps the wait responsive without spinning a core.
    const TickSource ticks = ticks_;
    const std::uint32_t start = ticks();
    for (;;) {
        QCoreApplication::processEvents();
        if (ticks() - start >= static_cast<std::uint32_t>(milliseconds)) {
            return;
        }
        QThread::msleep(1);
    }
}
