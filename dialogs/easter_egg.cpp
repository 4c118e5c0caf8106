#include "dialogs/easter_egg.h"

#include "dialogs/design_fonts.h"
#include "dialogs/pictures.h"
#include "dialogs/program_identity.h"

#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QScreen>

namespace {

QLabel* MakeLabel(QWidget* parent, const char* objectName, const QString& text, const QFont& font,
                  const QString& colour, QRect at, Qt::Alignment alignment) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: ") + colour +
                         QStringLiteral("; background: transparent;"));
    label->setAlignment(alignment);
    label->setGeometry(at);
    return label;
}

QPointer<TFEasterEgg>& Shown() {
    static QPointer<TFEasterEgg> shown;
    return shown;
}

} // namespace

TFEasterEgg::TFEasterEgg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FEasterEgg"));
    setWindowTitle(QStringLiteral("Desenvolver é uma arte !"));
    setFixedSize(389, 227);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setGeometry(4, 4, 381, 219);
    panel->setAutoFillBackground(true);
    QPalette white = panel->palette();
    white.setColor(QPalette::Window, Qt::white);
    panel->setPalette(white);

    MakePicture(panel, "Image1", QStringLiteral("credits"), QRect(12, 12, 110, 110));
    MakePicture(panel, "Image3", QStringLiteral("logo"), QRect(242, 12, 127, 70));

    const Qt::Alignment centred = Qt::AlignHCenter | Qt::AlignVCenter;
    MakeLabel(panel, "Label52", MakerSlogan(), ArialFont(9, false), QStringLiteral("#000000"),
              QRect(134, 88, 240, 36), Qt::AlignRight | Qt::AlignVCenter);
    MakeLabel(panel, "Label1", CreditLine(), CourierNewFont(8, true), QStringLiteral("#0000ff"),
              QRect(6, 138, 369, 18), centred);
    MakeLabel(panel, "Label2", RightsLine(), ArialFont(8, false), QStringLiteral("#000000"),
              QRect(6, 162, 369, 18), centred);
    MakeLabel(panel, "Label3", MakerWebAddress(), CourierNewFont(8, true),
              QStringLiteral("#0000ff"), QRect(6, 186, 369, 18), centred);

    // Key preview: a key closes the window whichever widget has the focus.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>()) {
        child->installEventFilter(this);
    }

    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
}

bool TFEasterEgg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        // Keep every key for the window itself, mnemonics and shortcuts included.
        event->accept();
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        // A key held down since the window opened (the J of Ctrl+J) repeats;
        // only a fresh press closes.
        if (!static_cast<QKeyEvent*>(event)->isAutoRepeat()) {
            accept();
        }
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool IsEasterEggShortcut(const QKeyEvent& event) {
    return event.key() == Qt::Key_J && event.modifiers().testFlag(Qt::ControlModifier);
}

void ShowEasterEgg(QWidget* owner) {
    if (!Shown().isNull()) {
        return;
    }
    // Destroyed on every way out of here, an exception from the modal loop
    // too, unless its owner went first and took it along.
    struct Cleanup {
        ~Cleanup() {
            delete Shown().data();
            Shown() = nullptr;
        }
    } cleanup;
    Shown() = new TFEasterEgg(owner);
    Shown()->exec();
}
