#include "dialogs/message_dialog.h"

#include "dialogs/ansi_text.h"
#include "dialogs/design_fonts.h"
#include "dialogs/message_markers.h"
#include "dialogs/pictures.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>

#include <algorithm>
#include <optional>
#include <utility>

namespace {

constexpr int kStripHeight = 28;
constexpr int kFrame = 4;
constexpr int kIconTop = 24;
constexpr int kButtonGap = 20;
constexpr int kIconClearance = 8;
constexpr int kMinimumWidth = 350;
constexpr int kMinimumWidthWithEdit = 390;
const QColor kFrameColour(0, 0, 255);        // clBlue
const QColor kPanelColour(0xF3, 0xF3, 0xF3); // 15987699

std::optional<quint16>& NextAnswer() {
    static std::optional<quint16> answer;
    return answer;
}

QString& LastText() {
    static QString text;
    return text;
}

QWidget* MakeStrip(QWidget* parent, const char* objectName) {
    auto* strip = new QWidget(parent);
    strip->setObjectName(QString::fromLatin1(objectName));
    strip->setAutoFillBackground(true);
    QPalette palette = strip->palette();
    palette.setColor(QPalette::Window, kFrameColour);
    strip->setPalette(palette);
    return strip;
}

QLabel* MakeIcon(QWidget* parent, const char* objectName, const QString& picture, int left,
                 QSize size) {
    auto* icon = new QLabel(parent);
    icon->setObjectName(QString::fromLatin1(objectName));
    icon->setPixmap(RenderPicture(picture, size, parent->devicePixelRatioF()));
    icon->setGeometry(QRect(QPoint(left, kIconTop), size));
    icon->hide();
    return icon;
}

// Windows separates lines with CR LF; a label shows a lone CR as a glyph.
QString ForDisplay(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

bool IsAltAlone(Qt::KeyboardModifiers modifiers) {
    return (modifiers & ~Qt::KeypadModifier) == Qt::AltModifier;
}

} // namespace

TFMensagem::TFMensagem(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("FMensagem"));
    setFont(MsSansSerifFont(8, false));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kFrameColour);
    setPalette(palette);
    buildWidgets();
    resize(417, 138);
}

void TFMensagem::buildWidgets() {
    img_top = new QLabel(this);
    img_top->setObjectName(QStringLiteral("img_top"));
    img_top->setScaledContents(true);
    img_top->setPixmap(RenderPicture(QStringLiteral("title_strip"), QSize(400, kStripHeight),
                                     devicePixelRatioF()));

    lbl_caption = new QLabel(QStringLiteral("Titulo"), img_top);
    lbl_caption->setObjectName(QStringLiteral("lbl_caption"));
    lbl_caption->setFont(MsSansSerifFont(8, true));
    lbl_caption->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    lbl_caption->move(4, 8);

    btnClose = new QToolButton(img_top);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setAutoRaise(true);
    // The glyph is white: under the mouse the button darkens the strip
    // instead of lighting it up as the style would, so the glyph stays seen.
    btnClose->setStyleSheet(
        QStringLiteral("QToolButton { border: none; background: transparent; }"
                       " QToolButton:hover { background: rgba(0, 0, 0, 70); border-radius: 3px; }"
                       " QToolButton:pressed { background: rgba(0, 0, 0, 110); }"));
    btnClose->setFocusPolicy(Qt::NoFocus);
    btnClose->setCursor(Qt::PointingHandCursor);
    btnClose->setIcon(PictureIcon(QStringLiteral("glyph_close"), QSize(16, 16)));
    btnClose->setIconSize(QSize(16, 16));
    btnClose->setAccessibleName(QStringLiteral("Sair"));
    btnClose->resize(23, 23);

    panel_msg = new QWidget(this);
    panel_msg->setObjectName(QStringLiteral("panel_msg"));
    panel_msg->setAutoFillBackground(true);
    QPalette palette = panel_msg->palette();
    palette.setColor(QPalette::Window, kPanelColour);
    panel_msg->setPalette(palette);

    Panel1 = MakeStrip(this, "Panel1");
    Panel2 = MakeStrip(panel_msg, "Panel2");
    Panel3 = MakeStrip(panel_msg, "Panel3");

    ImageC = MakeIcon(panel_msg, "ImageC", QStringLiteral("icon_confirmation"), 17, {23, 24});
    ImageW = MakeIcon(panel_msg, "ImageW", QStringLiteral("icon_warning"), 13, {31, 32});
    ImageE = MakeIcon(panel_msg, "ImageE", QStringLiteral("icon_error"), 13, {31, 31});
    ImageI = MakeIcon(panel_msg, "ImageI", QStringLiteral("icon_information"), 12, {32, 32});
    ImageP = MakeIcon(panel_msg, "ImageP", QStringLiteral("icon_choice"), 14, {28, 32});

    Msg = new QLabel(panel_msg);
    Msg->setObjectName(QStringLiteral("Msg"));
    // Messages carry texts from the SAT library and the device: never rich text.
    Msg->setTextFormat(Qt::PlainText);
    Msg->setFont(CourierNewFont(8, true));
    Msg->setStyleSheet(QStringLiteral("color: #0000ff; background: transparent;"));
    Msg->move(60, 16);

    BtnOK = makeButton("BtnOK", QStringLiteral("&Ok"), 100, QStringLiteral("glyph_ok"));
    BtnSim = makeButton("BtnSim", QStringLiteral("&Sim"), 100, QStringLiteral("glyph_ok"));
    BtnNao = makeButton("BtnNao", QStringLiteral("&Não"), 100, QStringLiteral("glyph_no"));
    BtnCan = makeButton("BtnCan", QStringLiteral("&Cancelar"), 87, QStringLiteral("glyph_cancel"));
    btnAlt = makeButton("btnAlt", QStringLiteral("&Editar"), 85, QStringLiteral("glyph_edit"));
    btnView =
        makeButton("btnView", QStringLiteral("&Visualizar"), 100, QStringLiteral("glyph_view"));
    btnPrint =
        makeButton("btnPrint", QStringLiteral("&Imprimir"), 100, QStringLiteral("glyph_print"));

    // Sim and Não are reached by mouse or by their keys, not by Tab.
    BtnSim->setFocusPolicy(Qt::ClickFocus);
    BtnNao->setFocusPolicy(Qt::ClickFocus);

    // Only Ok and Sim carry a result of their own, given on keyboard activation
    // (Enter, Space, the Alt mnemonic); the others answer on mouse press.
    connect(BtnOK, &QPushButton::clicked, this, [this] { done(MessageResult::Ok); });
    connect(BtnSim, &QPushButton::clicked, this, [this] { done(MessageResult::Ok); });

    // Key preview: the dialog sees every key and press before the widget it
    // was meant for.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>()) {
        child->installEventFilter(this);
    }
}

QPushButton* TFMensagem::makeButton(const char* objectName, const QString& caption, int width,
                                    const QString& glyph) {
    auto* button = new QPushButton(caption, panel_msg);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setCursor(Qt::PointingHandCursor);
    button->setIcon(PictureIcon(glyph, QSize(16, 16)));
    button->setIconSize(QSize(16, 16));
    button->resize(width, 27);
    button->hide();
    return button;
}

void TFMensagem::setMessage(const QString& text) {
    text_ = text;
    Msg->setText(ForDisplay(text));
}

void TFMensagem::reject() {
    done(MessageResult::Cancel);
}

void TFMensagem::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TFMensagem::FormShow() {
    const MessageLook look = ResolveMessageMarkers(text_);

    lbl_caption->setText(look.title);
    lbl_caption->adjustSize();
    ImageI->setVisible(look.icon == MessageIcon::Information);
    ImageC->setVisible(look.icon == MessageIcon::Confirmation);
    ImageE->setVisible(look.icon == MessageIcon::Error);
    ImageP->setVisible(look.icon == MessageIcon::Choice);
    ImageW->setVisible(look.icon == MessageIcon::Warning);

    const MessageButtons kind = look.buttons;
    const bool yesNo = kind == MessageButtons::YesNo || kind == MessageButtons::YesNoCancel ||
                       kind == MessageButtons::YesNoEdit;
    BtnOK->setVisible(kind == MessageButtons::Ok);
    BtnSim->setVisible(yesNo);
    BtnNao->setVisible(yesNo);
    BtnCan->setVisible(kind == MessageButtons::YesNoCancel ||
                       kind == MessageButtons::ViewPrintCancel);
    btnAlt->setVisible(kind == MessageButtons::YesNoEdit);
    btnView->setVisible(kind == MessageButtons::ViewPrintCancel);
    btnPrint->setVisible(kind == MessageButtons::ViewPrintCancel);

    // The label sizes itself to the text; an empty text still keeps one line.
    const QString shown = ForDisplay(look.text);
    Msg->setText(shown.isEmpty() ? QStringLiteral(" ") : shown);
    Msg->adjustSize();
    Msg->setText(shown);

    int width = std::max(Msg->x() + Msg->width() + 30, kMinimumWidth);
    int total = BtnSim->width() + BtnNao->width() + kButtonGap;
    if (BtnCan->isVisibleTo(this)) {
        total += BtnCan->width() + kButtonGap;
    }
    if (btnAlt->isVisibleTo(this)) {
        width = std::max(width, kMinimumWidthWithEdit);
        total += btnAlt->width() + kButtonGap;
    }

    const int x = (width - total) / 2;
    BtnSim->move(x, BtnSim->y());
    btnView->move(x, btnView->y());
    BtnNao->move(BtnSim->x() + BtnSim->width() + kButtonGap, BtnNao->y());
    btnPrint->move(btnView->x() + btnView->width() + kButtonGap, btnPrint->y());
    const int third = BtnNao->x() + BtnNao->width() + kButtonGap;
    if (BtnCan->isVisibleTo(this)) {
        BtnCan->move(third, BtnCan->y());
    }
    if (btnAlt->isVisibleTo(this)) {
        btnAlt->move(third, btnAlt->y());
    }
    BtnOK->move((width - BtnOK->width()) / 2, BtnOK->y());

    // The row sits 20 pixels below the message; a message shorter than its
    // icon would put the row over the icon, so the row also stays clear of it.
    int buttonTop = Msg->y() + Msg->height() + 20;
    for (const QLabel* icon : {ImageC, ImageW, ImageE, ImageI, ImageP}) {
        if (icon->isVisibleTo(this)) {
            buttonTop = std::max(buttonTop, icon->geometry().bottom() + 1 + kIconClearance);
        }
    }
    for (QPushButton* button : {BtnOK, BtnSim, BtnNao, BtnCan, btnAlt, btnView, btnPrint}) {
        button->move(button->x(), buttonTop);
    }
    const int height = BtnSim->y() + 70;

    resize(width, height);
    img_top->setGeometry(0, 0, width, kStripHeight);
    btnClose->move(width - btnClose->width() - 3, (kStripHeight - btnClose->height()) / 2);
    Panel1->setGeometry(0, height - kFrame, width, kFrame);
    panel_msg->setGeometry(0, kStripHeight, width, height - kStripHeight - kFrame);
    Panel3->setGeometry(0, 0, kFrame, panel_msg->height());
    Panel2->setGeometry(width - kFrame, 0, kFrame, panel_msg->height());

    // One default button at a time: Enter with no button focused answers it.
    if (BtnOK->isVisibleTo(this)) {
        BtnOK->setDefault(true);
    } else if (btnView->isVisibleTo(this)) {
        btnView->setDefault(true);
    } else {
        BtnSim->setDefault(true);
    }
    if (look.focus == MessageFocus::View) {
        btnView->setFocus();
    } else if (look.focus == MessageFocus::Yes) {
        BtnSim->setFocus();
    }

    QScreen* screen = QGuiApplication::primaryScreen();
    if (QWidget* active = QApplication::activeWindow(); active != nullptr && active != this) {
        screen = active->screen();
    }
    if (screen != nullptr) {
        const QRect area = screen->availableGeometry();
        move(area.x() + (area.width() - width) / 2, area.y() + (area.height() - height) / 2);
    }
}

quint16 TFMensagem::FormKeyDown(int key, Qt::KeyboardModifiers modifiers) const {
    // Each row may overwrite the one before it, as the keys are tested in turn.
    quint16 result = MessageResult::None;
    const bool altAlone = IsAltAlone(modifiers);
    if (key == Qt::Key_S || key == Qt::Key_Y) {
        result = MessageResult::Yes;
    }
    if (key == Qt::Key_V && altAlone && btnView->isVisibleTo(this)) {
        result = MessageResult::Yes;
    }
    if (key == Qt::Key_N) {
        result = MessageResult::No;
    }
    if (key == Qt::Key_I && altAlone && btnPrint->isVisibleTo(this)) {
        result = MessageResult::No;
    }
    if (key == Qt::Key_C && altAlone && BtnCan->isVisibleTo(this)) {
        result = MessageResult::Cancel;
    }
    if (key == Qt::Key_A && altAlone && btnAlt->isVisibleTo(this)) {
        result = MessageResult::Edit;
    }
    return result;
}

quint16 TFMensagem::mouseDownResult(QObject* watched) const {
    if (watched == BtnSim || watched == btnView) {
        return MessageResult::Yes;
    }
    if (watched == BtnNao || watched == btnPrint) {
        return MessageResult::No;
    }
    if (watched == btnAlt) {
        return MessageResult::Edit;
    }
    if (watched == BtnCan || watched == btnClose) {
        return MessageResult::Cancel;
    }
    return MessageResult::None;
}

bool TFMensagem::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // The answer is given on the press of any mouse button, before release.
        if (const quint16 result = mouseDownResult(watched); result != MessageResult::None) {
            done(result);
            return true;
        }
        break;
    case QEvent::ShortcutOverride: {
        // A key the dialog answers itself must not also fire a button mnemonic
        // (Alt+S is Sim's mnemonic, but S means 6, not Sim's own 1).
        auto* key = static_cast<QKeyEvent*>(event);
        if (FormKeyDown(key->key(), key->modifiers()) != MessageResult::None) {
            event->accept();
            return true;
        }
        break;
    }
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (const quint16 result = FormKeyDown(key->key(), key->modifiers());
            result != MessageResult::None) {
            done(result);
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void TFMensagem::keyPressEvent(QKeyEvent* event) {
    // No button is a cancel button: Escape does nothing.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

quint16 ShowMessageDialog(const QString& text) {
    LastText() = text;
    if (std::optional<quint16> answer = std::exchange(NextAnswer(), std::nullopt)) {
        return *answer;
    }
    TFMensagem dialog;
    dialog.setMessage(text);
    return static_cast<quint16>(dialog.exec() & 0xFFFF);
}

quint16 ShowMessageDialog(const std::string& cp1252Text) {
    return ShowMessageDialog(AnsiToQString(cp1252Text));
}

void SetNextMessageDialogAnswer(quint16 answer) {
    NextAnswer() = answer;
}

QString LastMessageDialogText() {
    return LastText();
}
