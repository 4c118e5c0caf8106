#include "dialogs/header_bar.h"

#include <QLabel>
#include <QPainter>
#include <QToolButton>

#include "dialogs/design_fonts.h"
#include "dialogs/pictures.h"
#include "dialogs/program_identity.h"

namespace {

const QSize kLogoArea(214, 60);
// The logo keeps its own proportions inside the 214 x 60 area.
const QSize kLogoPicture(109, 60);
constexpr int kPictureSize = 48;
constexpr int kTitleLeft = 145;

QLabel* HeaderText(const char* objectName, const QString& text, const QFont& font,
                   const char* colour, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: ") + QString::fromLatin1(colour) +
                         QStringLiteral("; background: transparent;"));
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

QToolButton* HeaderButton(const char* objectName, const QString& glyph, const QString& hint,
                          QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(objectName));
    QIcon icon = PictureIcon(glyph, QSize(14, 14));
    // Disabled (as on the loading window) the glyph stays as it is, so the
    // header does not change when one window replaces the other.
    icon.addPixmap(icon.pixmap(QSize(14, 14)), QIcon::Disabled);
    button->setIcon(icon);
    button->setIconSize(QSize(14, 14));
    button->setToolTip(hint);
    button->setCursor(Qt::PointingHandCursor);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(THeaderBar::kButtonSize, THeaderBar::kButtonSize);
    button->setStyleSheet(QStringLiteral("QToolButton { background: #1f5cc4; border: none;"
                                         " border-radius: 3px; }"
                                         "QToolButton:hover { background: #3d7be0; }"
                                         "QToolButton:pressed { background: #143f94; }"));
    return button;
}

} // namespace

THeaderBar::THeaderBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("AdvPanel1"));
    setFixedHeight(kHeight);

    Image4 = new QLabel(this);
    Image4->setObjectName(QStringLiteral("Image4"));
    Image4->setGeometry(QRect(QPoint(7, 4), kLogoArea));
    Image4->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Image4->setPixmap(RenderPicture(QStringLiteral("logo"), kLogoPicture, devicePixelRatioF()));

    lbl_sm_program = HeaderText("lbl_sm_program", QStringLiteral("Dravo Vexa Tarvik ®"),
                                ArialFont(16, true), "#143f94", this);
    lbl_sm_version = HeaderText("lbl_sm_version", QString(), ArialFont(9, false), "#555555", this);
    Label2 = HeaderText("Label2", MakerName(), ArialFont(9, true), "#143f94", this);
    Label1 = HeaderText("Label1", MakerWebAddress(), ArialFont(9, false), "#1f5cc4", this);
    Label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    Image9 = new QLabel(this);
    Image9->setObjectName(QStringLiteral("Image9"));
    Image9->setFixedSize(kPictureSize, kPictureSize);
    Image9->setPixmap(RenderPicture(QStringLiteral("device"), QSize(kPictureSize, kPictureSize),
                                    devicePixelRatioF()));

    btnMin =
        HeaderButton("btnMin", QStringLiteral("glyph_minimize"), QStringLiteral("Minimizar"), this);
    btnClose =
        HeaderButton("btnClose", QStringLiteral("glyph_close"), QStringLiteral("Sair"), this);
    LayOut();
}

void THeaderBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOut();
}

void THeaderBar::LayOut() {
    const int w = width();
    lbl_sm_program->adjustSize();
    // Where the loading window has its title too, so nothing jumps when it
    // goes away.
    lbl_sm_program->move(kTitleLeft, 12);
    lbl_sm_version->adjustSize();
    lbl_sm_version->move(lbl_sm_program->x() + 2, 12 + lbl_sm_program->height() + 2);
    btnClose->move(w - kButtonSize - 8, 8);
    btnMin->move(btnClose->x() - kButtonSize - 6, 8);
    Image9->move(btnMin->x() - kPictureSize - 14, (kHeight - kPictureSize) / 2);
    const int textRight = Image9->x() - 10;
    Label2->setGeometry(textRight - 320, 16, 320, 20);
    Label1->setGeometry(textRight - 320, 36, 320, 20);
}

void THeaderBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    // A blue strip closes the bar towards the pages.
    painter.fillRect(QRect(0, kHeight - 3, width(), 3), QColor(31, 92, 196));
}
