#include "dialogs/loading_window.h"

#include "dialogs/design_fonts.h"
#include "dialogs/pictures.h"
#include "dialogs/program_identity.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr int kDesignWidth = 988;
constexpr int kDesignHeight = 735;
constexpr int kHeaderHeight = 74;
constexpr int kMessageTop = 104;
constexpr int kMessageHeight = 53;
const QSize kLogoSize(127, 70);

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

QToolButton* MakeHeaderButton(QWidget* parent, const char* objectName, const QString& glyph,
                              const QString& hint) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setIcon(PictureIcon(glyph, QSize(16, 16)));
    button->setIconSize(QSize(16, 16));
    button->setToolTip(hint);
    button->setFocusPolicy(Qt::NoFocus);
    button->setStyleSheet(QStringLiteral("QToolButton { background: #1f5cc4; border: none;"
                                         " border-radius: 3px; }"
                                         "QToolButton:disabled { background: #9bb7e6; }"));
    button->resize(26, 26);
    // The window is only a cover while the library loads: nothing to minimise
    // or close yet.
    button->setEnabled(false);
    return button;
}

} // namespace

TFMsgSat::TFMsgSat(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("FMsgSat"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);

    AdvPanel1 = new QWidget(this);
    AdvPanel1->setObjectName(QStringLiteral("AdvPanel1"));
    AdvPanel1->setAutoFillBackground(true);
    AdvPanel1->setPalette(palette);

    Image4 = new QLabel(AdvPanel1);
    Image4->setObjectName(QStringLiteral("Image4"));
    Image4->setGeometry(QRect(QPoint(6, 2), kLogoSize));
    setLogo(QPixmap());

    lbl_sm_program = MakeText(AdvPanel1, "lbl_sm_program", QStringLiteral("Dravo Vexa Tarvik ®"),
                              ArialFont(16, true), QStringLiteral("#143f94"));
    lbl_sm_version = MakeText(AdvPanel1, "lbl_sm_version", QString(), ArialFont(9, false),
                              QStringLiteral("#555555"));
    lbl_maker = MakeText(AdvPanel1, "lbl_maker", MakerName(), ArialFont(9, true),
                         QStringLiteral("#143f94"));
    lbl_site = MakeText(AdvPanel1, "lbl_site", MakerWebAddress(), ArialFont(9, false),
                        QStringLiteral("#1f5cc4"));
    lbl_maker->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lbl_site->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    btnMin = MakeHeaderButton(AdvPanel1, "btnMin", QStringLiteral("glyph_minimize"),
                              QStringLiteral("Minimizar"));
    btnClose = MakeHeaderButton(AdvPanel1, "btnClose", QStringLiteral("glyph_close"),
                                QStringLiteral("Sair"));

    Image9 = new QLabel(AdvPanel1);
    Image9->setObjectName(QStringLiteral("Image9"));
    Image9->setScaledContents(true);
    Image9->setPixmap(RenderPicture(QStringLiteral("title_strip"), QSize(400, 28)));

    Image7 = new QLabel(this);
    Image7->setObjectName(QStringLiteral("Image7"));
    Image7->setScaledContents(true);
    Image7->setPixmap(RenderPicture(QStringLiteral("background_soft"), QSize(800, 600)));
    Image7->setToolTip(QStringLiteral("Clique aqui \npara entrar."));

    lbl_msg =
        MakeText(this, "lbl_msg", QString(), MsSansSerifFont(10, true), QStringLiteral("#0000ff"));
    lbl_msg->setAlignment(Qt::AlignCenter);
    lbl_msg->setWordWrap(true);

    resize(kDesignWidth, kDesignHeight);
    layOut();
}

void TFMsgSat::setLogo(const QPixmap& logo) {
    Image4->setScaledContents(!logo.isNull());
    Image4->setPixmap(logo.isNull()
                          ? RenderPicture(QStringLiteral("logo"), kLogoSize, devicePixelRatioF())
                          : logo);
}

void TFMsgSat::setMessage(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lbl_msg->setText(shown);
    layOut();
}

void TFMsgSat::setVersion(const QString& versaoDoPrograma) {
    lbl_sm_version->setText(QStringLiteral("v.") + versaoDoPrograma);
    lbl_sm_version->adjustSize();
}

void TFMsgSat::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOut();
}

void TFMsgSat::layOut() {
    const int w = width();
    const int h = height();
    AdvPanel1->setGeometry(0, 0, w, kHeaderHeight);
    lbl_sm_program->adjustSize();
    lbl_sm_program->move(145, 12);
    lbl_sm_version->adjustSize();
    lbl_sm_version->move(147, 12 + lbl_sm_program->height() + 2);
    btnClose->move(w - btnClose->width() - 8, 8);
    btnMin->move(btnClose->x() - btnMin->width() - 6, 8);
    const int textRight = btnMin->x() - 16;
    lbl_maker->setGeometry(textRight - 320, 16, 320, 20);
    lbl_site->setGeometry(textRight - 320, 36, 320, 20);
    Image9->setGeometry(0, kHeaderHeight - 3, w, 3);

    Image7->setGeometry(0, kHeaderHeight, w, h - kHeaderHeight);
    // The message keeps its distance to all four edges of the design size,
    // but never gets lower than its own text.
    const int needed = lbl_msg->heightForWidth(w);
    lbl_msg->setGeometry(0, kMessageTop, w,
                         std::max(kMessageHeight + h - kDesignHeight, std::max(needed, 0)));
    lbl_msg->raise();
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
