// The message dialog: what its markers select, how it lays itself out around
// the message, and which answer every mouse press, button and key gives.

#include "dialogs/message_dialog.h"
#include "dialogs/message_markers.h"
#include "tests/dialogs/modal_driver.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <memory>
#include <string>

Q_DECLARE_METATYPE(MessageIcon)
Q_DECLARE_METATYPE(MessageButtons)

namespace {

const QStringList kButtonNames = {QStringLiteral("BtnOK"),   QStringLiteral("BtnSim"),
                                  QStringLiteral("BtnNao"),  QStringLiteral("BtnCan"),
                                  QStringLiteral("btnAlt"),  QStringLiteral("btnView"),
                                  QStringLiteral("btnPrint")};

QPushButton* Button(QWidget* dialog, const QString& name) {
    auto* button = dialog->findChild<QPushButton*>(name);
    if (button == nullptr) {
        qFatal("no button %s", qPrintable(name));
    }
    return button;
}

QStringList VisibleButtons(QWidget* dialog) {
    QStringList visible;
    for (const QString& name : kButtonNames) {
        if (Button(dialog, name)->isVisible()) {
            visible << name;
        }
    }
    return visible;
}

QString VisibleIcon(QWidget* dialog) {
    QString visible;
    for (const char* name : {"ImageC", "ImageW", "ImageE", "ImageI", "ImageP"}) {
        if (dialog->findChild<QLabel*>(QString::fromLatin1(name))->isVisible()) {
            visible += QString::fromLatin1(name);
        }
    }
    return visible;
}

// Shows `text` through the real entry and lets `action` answer the dialog.
quint16 Answer(const QString& text, std::function<void(TFMensagem*)> action) {
    DriveNextModal<TFMensagem>(std::move(action));
    return ShowMessageDialog(text);
}

} // namespace

class TestMessageDialog : public QObject {
    Q_OBJECT

private slots:
    void upperCase_data();
    void upperCase();
    void markers_data();
    void markers();
    void shownDialog_data();
    void shownDialog();
    void layoutFollowsLabel_data();
    void layoutFollowsLabel();
    void emptyMessage();
    void closeGlyphStaysVisible_data();
    void closeGlyphStaysVisible();
    void mousePress_data();
    void mousePress();
    void okNeedsAFullClick();
    void keyboardActivation_data();
    void keyboardActivation();
    void windowCloseIsCancel();
    void messageIsPlainText();
    void ansiEntryAndNextAnswer();
};

void TestMessageDialog::upperCase_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("ascii") << QStringLiteral("abc xyz [sn]") << QStringLiteral("ABC XYZ [SN]");
    QTest::newRow("listed accents")
        << QStringLiteral("çáéíóúãõàèìòùâêîôû") << QStringLiteral("ÇÁÉÍÓÚÃÕÀÈÌÒÙÂÊÎÔÛ");
    QTest::newRow("unlisted letters stay")
        << QStringLiteral("ñäëïöüÿß") << QStringLiteral("ñäëïöüÿß");
    QTest::newRow("capitals and digits stay") << QStringLiteral("ÁB9[]") << QStringLiteral("ÁB9[]");
}

void TestMessageDialog::upperCase() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(MessageUpperCase(text), expected);
}

void TestMessageDialog::markers_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::addColumn<MessageIcon>("icon");
    QTest::addColumn<MessageButtons>("buttons");
    QTest::addColumn<QString>("shown");

    const QString info = QStringLiteral("Informação ao usuário");
    const QString confirm = QStringLiteral("Confirmação de Procedimento");
    const QString error = QStringLiteral("Erro de Procedimento");
    const QString plain = QStringLiteral("Mensagem ao Usuário");
    using I = MessageIcon;
    using B = MessageButtons;

    QTest::newRow("empty") << QString() << plain << I::None << B::Ok << QString();
    QTest::newRow("outcome [i]") << QStringLiteral("06000\r\nEmitido com sucesso[i]") << info
                                 << I::Information << B::Ok
                                 << QStringLiteral("06000\r\nEmitido com sucesso");
    QTest::newRow("sefaz then [i]")
        << QStringLiteral("Mensagem SEFAZ\r\nRejeição[i]") << info << I::Information << B::Ok
        << QStringLiteral("Mensagem SEFAZ\r\nRejeição");
    QTest::newRow("failure [e]") << QStringLiteral("Biblioteca não encontrada[e]") << error
                                 << I::Error << B::Ok
                                 << QStringLiteral("Biblioteca não encontrada");
    QTest::newRow("capital [E] in front")
        << QStringLiteral("[E]Falha") << error << I::Error << B::Ok << QStringLiteral("Falha");
    QTest::newRow("[c]") << QStringLiteral("Gravar?[c]") << confirm << I::Confirmation << B::Ok
                         << QStringLiteral("Gravar?");
    QTest::newRow("[w]") << QStringLiteral("Atenção[w]") << QStringLiteral("Alerta ao Usuário")
                         << I::Warning << B::Ok << QStringLiteral("Atenção");
    QTest::newRow("[p]") << QStringLiteral("Cupom pronto[p]")
                         << QStringLiteral("Selecione a opção desejada") << I::Choice
                         << B::ViewPrintCancel << QStringLiteral("Cupom pronto");
    QTest::newRow("[sn]") << QStringLiteral("Bloquear?[sn]") << confirm << I::Confirmation
                          << B::YesNo << QStringLiteral("Bloquear?");
    QTest::newRow("mixed case [Yn]") << QStringLiteral("Bloquear?[Yn]") << confirm
                                     << I::Confirmation << B::YesNo << QStringLiteral("Bloquear?");
    QTest::newRow("[snc]") << QStringLiteral("Salvar?[snc]") << confirm << I::Confirmation
                           << B::YesNoCancel << QStringLiteral("Salvar?");
    QTest::newRow("[YNC]") << QStringLiteral("Salvar?[YNC]") << confirm << I::Confirmation
                           << B::YesNoCancel << QStringLiteral("Salvar?");
    QTest::newRow("[sna]") << QStringLiteral("Aceitar?[sna]") << confirm << I::Confirmation
                           << B::YesNoEdit << QStringLiteral("Aceitar?");
    QTest::newRow("[yne] asks like [sna]")
        << QStringLiteral("Aceitar?[yne]") << confirm << I::Confirmation << B::YesNoEdit
        << QStringLiteral("Aceitar?");
    QTest::newRow("[sne] is no marker") << QStringLiteral("Aceitar?[sne]") << plain << I::None
                                        << B::Ok << QStringLiteral("Aceitar?[sne]");
    QTest::newRow("title and buttons independent")
        << QStringLiteral("Continuar?[i][sn]") << info << I::Information << B::YesNo
        << QStringLiteral("Continuar?");
    QTest::newRow("[c] with [sn] both go")
        << QStringLiteral("[C]Continuar?[SN]") << confirm << I::Confirmation << B::YesNo
        << QStringLiteral("Continuar?");
    QTest::newRow("question row comes before error row")
        << QStringLiteral("Falhou. Repetir?[e][sn]") << confirm << I::Confirmation << B::YesNo
        << QStringLiteral("Falhou. Repetir?[e]");
    QTest::newRow("repeated markers all go") << QStringLiteral("[i]um[I]dois[i]") << info
                                             << I::Information << B::Ok << QStringLiteral("umdois");
    QTest::newRow("repeated question markers")
        << QStringLiteral("[sn]a[SN]b[yn]") << confirm << I::Confirmation << B::YesNo
        << QStringLiteral("ab");
    QTest::newRow("brackets that are no marker")
        << QStringLiteral("Valor [10] e [ok] [ i ] [] [x]") << plain << I::None << B::Ok
        << QStringLiteral("Valor [10] e [ok] [ i ] [] [x]");
    QTest::newRow("accented letter is no marker")
        << QStringLiteral("Campo [í] [é]") << plain << I::None << B::Ok
        << QStringLiteral("Campo [í] [é]");
    QTest::newRow("marker inside other brackets")
        << QStringLiteral("[[e]]") << error << I::Error << B::Ok << QStringLiteral("[]");
}

void TestMessageDialog::markers() {
    QFETCH(QString, text);
    QFETCH(QString, title);
    QFETCH(MessageIcon, icon);
    QFETCH(MessageButtons, buttons);
    QFETCH(QString, shown);
    const MessageLook look = ResolveMessageMarkers(text);
    QCOMPARE(look.title, title);
    QCOMPARE(look.icon, icon);
    QCOMPARE(look.buttons, buttons);
    QCOMPARE(look.text, shown);
}

void TestMessageDialog::shownDialog_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("icon");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QString>("focus"); // where Enter and Space act
    QTest::addColumn<QString>("message");

    QTest::newRow("plain") << QStringLiteral("Olá") << QStringLiteral("Mensagem ao Usuário")
                           << QString() << QStringList{QStringLiteral("BtnOK")}
                           << QStringLiteral("BtnOK") << QStringLiteral("Olá");
    QTest::newRow("information two lines")
        << QStringLiteral("Mensagem SEFAZ\r\nAutorizado[i]")
        << QStringLiteral("Informação ao usuário") << QStringLiteral("ImageI")
        << QStringList{QStringLiteral("BtnOK")} << QStringLiteral("BtnOK")
        << QStringLiteral("Mensagem SEFAZ\nAutorizado");
    QTest::newRow("error") << QStringLiteral("Falha[e]") << QStringLiteral("Erro de Procedimento")
                           << QStringLiteral("ImageE") << QStringList{QStringLiteral("BtnOK")}
                           << QStringLiteral("BtnOK") << QStringLiteral("Falha");
    QTest::newRow("yes no") << QStringLiteral("Sair?[sn]")
                            << QStringLiteral("Confirmação de Procedimento")
                            << QStringLiteral("ImageC")
                            << QStringList{QStringLiteral("BtnSim"), QStringLiteral("BtnNao")}
                            << QStringLiteral("BtnSim") << QStringLiteral("Sair?");
    QTest::newRow("yes no cancel")
        << QStringLiteral("Salvar?[snc]") << QStringLiteral("Confirmação de Procedimento")
        << QStringLiteral("ImageC")
        << QStringList{QStringLiteral("BtnSim"), QStringLiteral("BtnNao"), QStringLiteral("BtnCan")}
        << QStringLiteral("BtnSim") << QStringLiteral("Salvar?");
    QTest::newRow("view print cancel")
        << QStringLiteral("Cupom[p]") << QStringLiteral("Selecione a opção desejada")
        << QStringLiteral("ImageP")
        << QStringList{QStringLiteral("BtnCan"), QStringLiteral("btnView"),
                       QStringLiteral("btnPrint")}
        << QStringLiteral("btnView") << QStringLiteral("Cupom");
    QTest::newRow("warning") << QStringLiteral("Cuidado[w]") << QStringLiteral("Alerta ao Usuário")
                             << QStringLiteral("ImageW") << QStringList{QStringLiteral("BtnOK")}
                             << QStringLiteral("BtnOK") << QStringLiteral("Cuidado");
}

void TestMessageDialog::shownDialog() {
    QFETCH(QString, text);
    QFETCH(QString, caption);
    QFETCH(QString, icon);
    QFETCH(QStringList, buttons);
    QFETCH(QString, focus);
    QFETCH(QString, message);

    TFMensagem dialog;
    dialog.setMessage(text);
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));

    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("lbl_caption"))->text(), caption);
    QCOMPARE(VisibleIcon(&dialog), icon);
    QCOMPARE(VisibleButtons(&dialog), buttons);
    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("Msg"))->text(), message);
    const QWidget* focused = dialog.focusWidget();
    QCOMPARE(focused != nullptr && focused->isVisible() ? focused->objectName() : QString(), focus);
    QVERIFY(dialog.windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

void TestMessageDialog::layoutFollowsLabel_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("short") << QStringLiteral("Ok[i]");
    QTest::newRow("long line") << QString(QStringLiteral("Linha muito longa ").repeated(6) +
                                          QStringLiteral("[e]"));
    QTest::newRow("three lines") << QStringLiteral(
        "Primeira\r\nSegunda linha bem mais comprida que a primeira\r\nTerceira");
    QTest::newRow("three lines information")
        << QStringLiteral("Mensagem SEFAZ\r\nLote recebido\r\nProcessado[i]");
    QTest::newRow("question") << QStringLiteral("Confirma?[sn]");
    QTest::newRow("with cancel") << QStringLiteral("Confirma?[snc]");
    QTest::newRow("with edit") << QStringLiteral("Confirma?[sna]");
    QTest::newRow("long with edit")
        << QString(QStringLiteral("Texto comprido ").repeated(8) + QStringLiteral("[yne]"));
    QTest::newRow("view print") << QStringLiteral("Escolha[p]");
}

// Every number of the layout, from the label's own size after the dialog
// has been shown.
void TestMessageDialog::layoutFollowsLabel() {
    QFETCH(QString, text);
    TFMensagem dialog;
    dialog.setMessage(text);
    dialog.show();

    const QLabel* msg = dialog.findChild<QLabel*>(QStringLiteral("Msg"));
    QCOMPARE(msg->pos(), QPoint(60, 16));
    // The label is sized to its text: the widest line decides.
    const QFontMetrics metrics(msg->font());
    int widest = 0;
    for (const QString& line : msg->text().split(u'\n')) {
        widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    QVERIFY2(msg->width() >= widest && msg->width() <= widest + 8,
             qPrintable(QStringLiteral("label %1, text %2").arg(msg->width()).arg(widest)));
    QVERIFY(msg->height() >= metrics.height() * int(msg->text().count(u'\n') + 1));

    QPushButton* sim = Button(&dialog, QStringLiteral("BtnSim"));
    QPushButton* nao = Button(&dialog, QStringLiteral("BtnNao"));
    QPushButton* can = Button(&dialog, QStringLiteral("BtnCan"));
    QPushButton* alt = Button(&dialog, QStringLiteral("btnAlt"));
    QPushButton* ok = Button(&dialog, QStringLiteral("BtnOK"));
    QPushButton* view = Button(&dialog, QStringLiteral("btnView"));
    QPushButton* print = Button(&dialog, QStringLiteral("btnPrint"));

    int width = std::max(60 + msg->width() + 30, 350);
    int total = 220;
    if (can->isVisible()) {
        total += 107;
    }
    if (alt->isVisible()) {
        width = std::max(width, 390);
        total += 105;
    }
    QCOMPARE(dialog.width(), width);
    const int x = (width - total) / 2;
    QCOMPARE(sim->x(), x);
    QCOMPARE(view->x(), x);
    QCOMPARE(nao->x(), x + 120);
    QCOMPARE(print->x(), x + 120);
    if (can->isVisible()) {
        QCOMPARE(can->x(), x + 240);
    }
    if (alt->isVisible()) {
        QCOMPARE(alt->x(), x + 240);
    }
    QCOMPARE(ok->x(), (width - 100) / 2);

    int buttonTop = 16 + msg->height() + 20;
    for (const char* name : {"ImageC", "ImageW", "ImageE", "ImageI", "ImageP"}) {
        const QLabel* icon = dialog.findChild<QLabel*>(QString::fromLatin1(name));
        QCOMPARE(icon->y(), 24);
        if (icon->isVisible()) {
            // Never over the icon.
            buttonTop = std::max(buttonTop, icon->geometry().bottom() + 1 + 8);
        }
    }
    for (const QString& name : kButtonNames) {
        QCOMPARE(Button(&dialog, name)->y(), buttonTop);
    }
    QCOMPARE(dialog.height(), buttonTop + 70);
    for (const char* name : {"ImageC", "ImageW", "ImageE", "ImageI", "ImageP"}) {
        const QLabel* icon = dialog.findChild<QLabel*>(QString::fromLatin1(name));
        for (const QString& button : kButtonNames) {
            QVERIFY(!icon->isVisible() || !Button(&dialog, button)->isVisible() ||
                    !icon->geometry().intersects(Button(&dialog, button)->geometry()));
        }
    }
    // The buttons sit inside the grey panel, between the blue frame strips.
    const QWidget* panel = dialog.findChild<QWidget*>(QStringLiteral("panel_msg"));
    QVERIFY(buttonTop + 27 <= panel->height());
    QCOMPARE(panel->geometry().bottom() + 1 + 4, dialog.height());
}

void TestMessageDialog::emptyMessage() {
    TFMensagem dialog;
    dialog.setMessage(QString());
    dialog.show();
    QCOMPARE(dialog.width(), 350);
    QCOMPARE(Button(&dialog, QStringLiteral("BtnOK"))->x(), 125);
    // An empty message still keeps one line of height.
    QVERIFY(dialog.findChild<QLabel*>(QStringLiteral("Msg"))->height() > 0);
}

void TestMessageDialog::closeGlyphStaysVisible_data() {
    QTest::addColumn<bool>("hovered");
    QTest::newRow("at rest") << false;
    QTest::newRow("under the mouse") << true;
}

// The white cross must stand out from what the button draws behind it.
void TestMessageDialog::closeGlyphStaysVisible() {
    QFETCH(bool, hovered);
    TFMensagem dialog;
    dialog.setMessage(QStringLiteral("Pronto[i]"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* close = dialog.findChild<QToolButton*>(QStringLiteral("btnClose"));
    QVERIFY(close != nullptr);
    close->setAttribute(Qt::WA_UnderMouse, hovered);

    const QImage shot = close->grab().toImage();
    const QColor glyph = shot.pixelColor(shot.width() / 2, shot.height() / 2);
    const QColor behind = shot.pixelColor(shot.width() / 2, 2);
    QVERIFY2(glyph.lightness() - behind.lightness() > 60,
             qPrintable(QStringLiteral("glyph %1, behind it %2").arg(glyph.name(), behind.name())));
}

void TestMessageDialog::mousePress_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("button");
    QTest::addColumn<Qt::MouseButton>("mouse");
    QTest::addColumn<int>("expected");

    QTest::newRow("Sim left") << QStringLiteral("?[sn]") << QStringLiteral("BtnSim")
                              << Qt::LeftButton << 6;
    QTest::newRow("Sim right") << QStringLiteral("?[sn]") << QStringLiteral("BtnSim")
                               << Qt::RightButton << 6;
    QTest::newRow("Não middle") << QStringLiteral("?[yn]") << QStringLiteral("BtnNao")
                                << Qt::MiddleButton << 7;
    QTest::newRow("Não left") << QStringLiteral("?[snc]") << QStringLiteral("BtnNao")
                              << Qt::LeftButton << 7;
    QTest::newRow("Cancelar") << QStringLiteral("?[snc]") << QStringLiteral("BtnCan")
                              << Qt::LeftButton << 2;
    QTest::newRow("Editar") << QStringLiteral("?[sna]") << QStringLiteral("btnAlt")
                            << Qt::LeftButton << 4;
    QTest::newRow("Visualizar") << QStringLiteral("?[p]") << QStringLiteral("btnView")
                                << Qt::LeftButton << 6;
    QTest::newRow("Imprimir") << QStringLiteral("?[p]") << QStringLiteral("btnPrint")
                              << Qt::RightButton << 7;
    QTest::newRow("Cancelar of choice")
        << QStringLiteral("?[p]") << QStringLiteral("BtnCan") << Qt::LeftButton << 2;
    QTest::newRow("close on strip")
        << QStringLiteral("Info[i]") << QStringLiteral("btnClose") << Qt::LeftButton << 2;
    QTest::newRow("close on question")
        << QStringLiteral("?[sn]") << QStringLiteral("btnClose") << Qt::RightButton << 2;
}

// A press alone, with no release, gives the answer.
void TestMessageDialog::mousePress() {
    QFETCH(QString, text);
    QFETCH(QString, button);
    QFETCH(Qt::MouseButton, mouse);
    QFETCH(int, expected);
    const quint16 result = Answer(text, [=](TFMensagem* dialog) {
        auto* target = dialog->findChild<QAbstractButton*>(button);
        QTest::mousePress(target, mouse, Qt::NoModifier, target->rect().center());
    });
    QCOMPARE(int(result), expected);
}

void TestMessageDialog::okNeedsAFullClick() {
    bool stillOpenAfterPress = false;
    const quint16 result = Answer(QStringLiteral("Pronto[i]"), [&](TFMensagem* dialog) {
        QPushButton* ok = Button(dialog, QStringLiteral("BtnOK"));
        QTest::mousePress(ok, Qt::LeftButton, Qt::NoModifier, ok->rect().center());
        stillOpenAfterPress = dialog->isVisible();
        QTest::mouseRelease(ok, Qt::LeftButton, Qt::NoModifier, ok->rect().center());
    });
    QVERIFY(stillOpenAfterPress);
    QCOMPARE(int(result), 1);
}

void TestMessageDialog::keyboardActivation_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("focus"); // empty: the dialog's own choice
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("expected");
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const Qt::KeyboardModifiers alt = Qt::AltModifier;

    // On the dialog's own choice of focus: letters, Alt with a button's
    // letter, Escape.
    QTest::newRow("S on information")
        << QStringLiteral("i[i]") << QString() << int(Qt::Key_S) << none << 6;
    QTest::newRow("Y on error") << QStringLiteral("e[e]") << QString() << int(Qt::Key_Y) << none
                                << 6;
    QTest::newRow("N on information")
        << QStringLiteral("i[i]") << QString() << int(Qt::Key_N) << none << 7;
    QTest::newRow("Shift+S") << QStringLiteral("?[sn]") << QString() << int(Qt::Key_S)
                             << Qt::KeyboardModifiers(Qt::ShiftModifier) << 6;
    QTest::newRow("Ctrl+N") << QStringLiteral("?[sn]") << QString() << int(Qt::Key_N)
                            << Qt::KeyboardModifiers(Qt::ControlModifier) << 7;
    QTest::newRow("Alt+S is yes, not Sim's own")
        << QStringLiteral("?[sn]") << QString() << int(Qt::Key_S) << alt << 6;
    QTest::newRow("Alt+N") << QStringLiteral("?[sna]") << QString() << int(Qt::Key_N) << alt << 7;
    QTest::newRow("Alt+V on choice")
        << QStringLiteral("?[p]") << QString() << int(Qt::Key_V) << alt << 6;
    QTest::newRow("Alt+I on choice")
        << QStringLiteral("?[p]") << QString() << int(Qt::Key_I) << alt << 7;
    QTest::newRow("Alt+C on choice")
        << QStringLiteral("?[p]") << QString() << int(Qt::Key_C) << alt << 2;
    QTest::newRow("Alt+C with Cancelar")
        << QStringLiteral("?[snc]") << QString() << int(Qt::Key_C) << alt << 2;
    QTest::newRow("Alt+A with Editar")
        << QStringLiteral("?[sna]") << QString() << int(Qt::Key_A) << alt << 4;
    QTest::newRow("Alt+C without Cancelar")
        << QStringLiteral("i[i]") << QString() << int(Qt::Key_C) << alt << kStillOpen;
    QTest::newRow("Alt+A without Editar")
        << QStringLiteral("?[snc]") << QString() << int(Qt::Key_A) << alt << kStillOpen;
    QTest::newRow("Alt+V without Visualizar")
        << QStringLiteral("i[i]") << QString() << int(Qt::Key_V) << alt << kStillOpen;
    QTest::newRow("V without Alt")
        << QStringLiteral("?[p]") << QString() << int(Qt::Key_V) << none << kStillOpen;
    QTest::newRow("Ctrl+Alt+C is not Alt alone")
        << QStringLiteral("?[snc]") << QString() << int(Qt::Key_C)
        << Qt::KeyboardModifiers(Qt::AltModifier | Qt::ControlModifier) << kStillOpen;
    QTest::newRow("Escape on information")
        << QStringLiteral("i[i]") << QString() << int(Qt::Key_Escape) << none << kStillOpen;
    QTest::newRow("Escape on question")
        << QStringLiteral("?[snc]") << QString() << int(Qt::Key_Escape) << none << kStillOpen;
    QTest::newRow("Escape on choice")
        << QStringLiteral("?[p]") << QString() << int(Qt::Key_Escape) << none << kStillOpen;
    QTest::newRow("other letter") << QStringLiteral("i[i]") << QString() << int(Qt::Key_X) << none
                                  << kStillOpen;

    // Enter and Space on a button, mnemonics.
    QTest::newRow("Enter on Ok") << QStringLiteral("i[i]") << QString() << int(Qt::Key_Return)
                                 << none << 1;
    QTest::newRow("Space on Ok") << QStringLiteral("i[i]") << QString() << int(Qt::Key_Space)
                                 << none << 1;
    QTest::newRow("Alt+O mnemonic") << QStringLiteral("i[i]") << QString() << int(Qt::Key_O)
                                    << Qt::KeyboardModifiers(Qt::AltModifier) << 1;
    QTest::newRow("Enter on focused Sim")
        << QStringLiteral("?[snc]") << QString() << int(Qt::Key_Return) << none << 1;
    QTest::newRow("Enter answers default Sim")
        << QStringLiteral("?[sn]") << QString() << int(Qt::Key_Enter) << none << 1;
    QTest::newRow("Space on Sim") << QStringLiteral("?[sn]") << QStringLiteral("BtnSim")
                                  << int(Qt::Key_Space) << none << 1;
    QTest::newRow("Space on Não has no result")
        << QStringLiteral("?[sn]") << QStringLiteral("BtnNao") << int(Qt::Key_Space) << none
        << kStillOpen;
    QTest::newRow("Enter on Cancelar has no result")
        << QStringLiteral("?[snc]") << QStringLiteral("BtnCan") << int(Qt::Key_Return) << none
        << kStillOpen;
    QTest::newRow("Enter on Visualizar has no result")
        << QStringLiteral("?[p]") << QString() << int(Qt::Key_Return) << none << kStillOpen;
}

void TestMessageDialog::keyboardActivation() {
    QFETCH(QString, text);
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, expected);
    const quint16 result = Answer(text, [=](TFMensagem* dialog) {
        if (!focus.isEmpty()) {
            Button(dialog, focus)->setFocus();
        }
        QWidget* target = dialog->focusWidget() != nullptr ? dialog->focusWidget() : dialog;
        QTest::keyClick(target, Qt::Key(key), modifiers);
    });
    QCOMPARE(int(result), expected);
}

void TestMessageDialog::windowCloseIsCancel() {
    const quint16 result =
        Answer(QStringLiteral("?[sn]"), [](TFMensagem* dialog) { dialog->close(); });
    QCOMPARE(int(result), 2);
}

void TestMessageDialog::messageIsPlainText() {
    TFMensagem dialog;
    dialog.setMessage(QStringLiteral("<b>negrito</b> & <i>x</i>[e]"));
    dialog.show();
    const QLabel* msg = dialog.findChild<QLabel*>(QStringLiteral("Msg"));
    QCOMPARE(msg->textFormat(), Qt::PlainText);
    QCOMPARE(msg->text(), QStringLiteral("<b>negrito</b> & <i>x</i>"));
}

void TestMessageDialog::ansiEntryAndNextAnswer() {
    // "Configurações" in Windows-1252.
    const std::string cp1252 = "Configura\xE7\xF5"
                               "es[sn]";
    SetNextMessageDialogAnswer(7);
    QCOMPARE(int(ShowMessageDialog(cp1252)), 7);
    QCOMPARE(LastMessageDialogText(), QStringLiteral("Configurações[sn]"));

    // One shot: the next call shows the real dialog again.
    QString shown;
    DriveNextModal<TFMensagem>([&](TFMensagem* dialog) {
        shown = dialog->findChild<QLabel*>(QStringLiteral("Msg"))->text();
        QTest::keyClick(dialog, Qt::Key_S);
    });
    QCOMPARE(int(ShowMessageDialog(cp1252)), 6);
    QCOMPARE(shown, QStringLiteral("Configurações"));
}

QTEST_MAIN(TestMessageDialog)
#include "tst_message_dialog.moc"
