#include "dialogs/loading_window.h"

#include "dialogs/design_fonts.h"
#include "dialogs/header_bar.h"
#include "dialogs/pictures.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr int kDesignWidth = 988;
constexpr int kDesignHeight = 735;
constexpr int kMessageTop = 104;
constexpr int kMessageHeight = 53;

QPointer<TFMsgSat>& Instance() {
    static QPointer<TFMsgSat> instance;
    return instance;
}

QLabel* MakeText(QWidget* parent, const char* objectName, const QString& text, const QFont& font,
                 const QString& colour) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: ") + colour +
                         QStringLiteral("; background: transparent;"));
    return label;
}

} // namespace

TFMsgSat::TFMsgSat(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("FMsgSat"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);

    // The main window's own header, so that nothing in it moves while this
    // window covers the main window.
    AdvPanel1 = new THeaderBar(this);
    // Its buttons act on the covered window: minimising it takes this
    // window along, closing it asks first while the library is called.
    connect(AdvPanel1->btnMin, &QAbstractButton::clicked, this, [this] {
        if (QWidget* covered = parentWidget()) {
            covered->window()->showMinimized();
        }
        showMinimized();
    });
    connect(AdvPanel1->btnClose, &QAbstractButton::clicked, this, [this] {
        if (QWidget* covered = parentWidget()) {
            covered->window()->close();
        }
    });

    Image7 = new QLabel(this);
    Image7->setObjectName(QStringLiteral("Image7"));
    Image7->setScaledContents(true);
    Image7->setPixmap(RenderPicture(QStringLiteral("background_soft"), QSize(800, 600)));
    Image7->setToolTip(QStringLiteral("Clique aqui \npara entrar."));

    lbl_msg =
        MakeText(this, "lbl_msg", QString(), MsSansSerifFont(10, true), QStringLiteral("#0000ff"));
    lbl_msg->setAlignment(Qt::AlignCenter);
    lbl_msg->setWordWrap(true);
    lbl_silencio = MakeText(this, "lbl_silencio", QString(), MsSansSerifFont(10, false),
                            QStringLiteral("#000000"));
    lbl_silencio->setAlignment(Qt::AlignCenter);
    lbl_silencio->hide();
    btnParar = new QPushButton(QStringLiteral("Parar de esperar"), this);
    btnParar->setObjectName(QStringLiteral("btnParar"));
    btnParar->setFocusPolicy(Qt::NoFocus);
    btnParar->hide();

    resize(kDesignWidth, kDesignHeight);
    layOut();
}

void TFMsgSat::setLogo(const QPixmap& logo) {
    if (!logo.isNull()) {
        AdvPanel1->Image4->setPixmap(logo);
    }
}

void TFMsgSat::setMessage(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lbl_msg->setText(shown);
    layOut();
}

void TFMsgSat::setVersion(const QString& versaoDoPrograma) {
    AdvPanel1->lbl_sm_version->setText(QStringLiteral("v.") + versaoDoPrograma);
    AdvPanel1->lbl_sm_version->adjustSize();
}

void TFMsgSat::setIndicator(QWidget* indicator) {
    delete indicator_;
    indicator_ = indicator;
    indicator_->setParent(this);
    indicator_->show();
    layOut();
}

void TFMsgSat::ShowSilence(const QString& silenceText) {
    lbl_silencio->setText(silenceText);
    lbl_silencio->show();
    btnParar->show();
    layOut();
}

void TFMsgSat::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOut();
}

void TFMsgSat::layOut() {
    const int w = width();
    const int h = height();
    AdvPanel1->setGeometry(0, 0, w, THeaderBar::kHeight);
    Image7->setGeometry(0, THeaderBar::kHeight, w, h - THeaderBar::kHeight);
    // The message keeps its distance to all four edges of the design size,
    // but never gets lower than its own text.
    const int needed = lbl_msg->heightForWidth(w);
    lbl_msg->setGeometry(0, kMessageTop, w,
                         std::max(kMessageHeight + h - kDesignHeight, std::max(needed, 0)));
    lbl_msg->raise();
    int below = lbl_msg->geometry().bottom() + 12;
    if (indicator_ != nullptr) {
        indicator_->move((w - indicator_->width()) / 2, below);
        indicator_->raise();
        below += indicator_->height() + 12;
    }
    lbl_silencio->setGeometry(0, below, w, 24);
    lbl_silencio->raise();
    btnParar->adjustSize();
    btnParar->move((w - btnParar->width()) / 2, below + 30);
    btnParar->raise();
}

void MostraCarregando(QWidget& cover, const QString& text, const QString& versaoDoPrograma,
                      const QPixmap& logo) {
    QPointer<TFMsgSat>& instance = Instance();
    if (instance.isNull()) {
        // A child window of the covered one stays above it.
        instance = new TFMsgSat(cover.window());
    }
    if (!logo.isNull()) {
        instance->setLogo(logo);
    }
    instance->setGeometry(QRect(cover.mapToGlobal(QPoint(0, 0)), cover.size()));
    instance->setMessage(text);
    instance->setVersion(versaoDoPrograma);
    instance->show();
    instance->raise();
    QCoreApplication::processEvents();
}

void FechaCarregando() {
    QPointer<TFMsgSat>& instance = Instance();
    delete instance.data();
    instance = nullptr;
}

TFMsgSat* CurrentLoadingWindow() {
    return Instance().data();
}
