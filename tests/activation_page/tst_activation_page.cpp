// The activation page with real widgets: what leaving and entering its
// fields shows, what the activation sends (and when it sends nothing), and
// the page reset.

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "dialogs/Yancomp.h"
#include "tests/page_window.h"
#include "ui/field_indicator.h"
#include "ui/pages/activation_page.h"
#include "ui/wait_panel.h"

namespace {

constexpr int kActivationPage = 1;

QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

} // namespace

class ActivationPageTest : public PageWindowTest {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void stateListAndCertificateKind();
    void cnpjExitAndEntry_data();
    void cnpjExitAndEntry();
    void mouseEntrySelectsTheDigits();
    void codeExits_data();
    void codeExits();
    void sendsActivation_data();
    void sendsActivation();
    void refusalSendsNothing_data();
    void refusalSendsNothing();
    void limparResetsThePage();

private:
    TActivationPage& Page() { return *window_->AdvPolyPage2; }
    // Types `text` into the focused `field` and leaves it with Enter.
    void TypeAndLeave(QWidget* field, const QString& text);
    void FillCodes(const QString& code, const QString& confirmation);
};

void ActivationPageTest::init() {
    QVERIFY(PrepareWindow() && OpenWindow(kActivationPage));
    fake_->Reset();
}

void ActivationPageTest::cleanup() {
    EndWindow();
}

void ActivationPageTest::TypeAndLeave(QWidget* field, const QString& text) {
    field->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), field);
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
    QTRY_VERIFY(QApplication::focusWidget() != field);
}

void ActivationPageTest::FillCodes(const QString& code, const QString& confirmation) {
    Page().ativar_codigo->setText(code);
    Page().ativar_codigo_conf->setText(confirmation);
}

void ActivationPageTest::stateListAndCertificateKind() {
    TActivationPage& page = Page();
    QCOMPARE(page.ativar_certificado_uf->count(), 27);
    QCOMPARE(page.ativar_certificado_uf->itemText(0), Utf8("São Paulo               SP"));
    QCOMPARE(page.ativar_certificado_uf->itemText(26), Utf8("Tocantins               TO"));
    QVERIFY(QFontInfo(page.ativar_certificado_uf->font()).fixedPitch());

    // Only AC-SAT can be activated from here.
    QVERIFY(!page.ativar_certificado_dig->isEnabled());
    QVERIFY(!page.ativar_certificado_icp->isVisibleTo(&page));
}

void ActivationPageTest::cnpjExitAndEntry_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("afterExit");
    QTest::addColumn<QString>("indicator");
    QTest::addColumn<QString>("afterEntry");

    // Only digits are typed: the mask's separators never reach the field.
    QTest::newRow("valid, shown masked") << "61099008000141"
                                         << "61.099.008/0001-41"
                                         << "OK"
                                         << "61099008000141";
    QTest::newRow("separators typed are dropped") << "61.099.008/0001-41"
                                                  << "61.099.008/0001-41"
                                                  << "OK"
                                                  << "61099008000141";
    QTest::newRow("wrong check digit keeps the digits") << "61099008000142"
                                                        << "61099008000142"
                                                        << "X"
                                                        << "61099008000142";
    // A valid CNPJ starting with "00" has only 12 significant digits; the
    // numeric edit drops the leading zeros and pads with blanks.
    QTest::newRow("leading zeros") << "00000000000191"
                                   << "           191"
                                   << "X"
                                   << "191";
    QTest::newRow("letters are not typed") << "abc"
                                           << "             0"
                                           << "X"
                                           << "0";
}

void ActivationPageTest::cnpjExitAndEntry() {
    QFETCH(QString, typed);
    QFETCH(QString, afterExit);
    QFETCH(QString, indicator);
    QFETCH(QString, afterEntry);
    TActivationPage& page = Page();

    TypeAndLeave(page.ativar_cnpj, typed);
    QCOMPARE(page.ativar_cnpj->text(), afterExit);
    QCOMPARE(page.ativar_cnpj_check->Caption(), indicator);
    // Leaving the edit moved the focus on, as Tab would.
    QCOMPARE(QApplication::focusWidget(), page.ativar_codigo);

    page.ativar_cnpj->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), page.ativar_cnpj);
    QCOMPARE(page.ativar_cnpj->text(), afterEntry);
    QCOMPARE(page.ativar_cnpj->selectedText(), afterEntry);
    QVERIFY(window_->messages.empty());
}

// Clicking into the empty field shows "0"; the digits typed next replace
// it instead of landing beside it, where the 14-digit limit would drop the
// last one.
void ActivationPageTest::mouseEntrySelectsTheDigits() {
    TActivationPage& page = Page();
    page.ativar_codigo->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), page.ativar_codigo);

    QTest::mouseClick(page.ativar_cnpj, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTRY_COMPARE(page.ativar_cnpj->selectedText(), QStringLiteral("0"));
    QTest::keyClicks(page.ativar_cnpj, QStringLiteral("61099008000141"));
    QTest::keyClick(page.ativar_cnpj, Qt::Key_Return);

    QCOMPARE(page.ativar_cnpj->text(), QStringLiteral("61.099.008/0001-41"));
    QCOMPARE(page.ativar_cnpj_check->Caption(), QStringLiteral("OK"));
}

void ActivationPageTest::codeExits_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("confirmation");
    QTest::addColumn<QString>("codeAfter");
    QTest::addColumn<QString>("codeIndicator");
    QTest::addColumn<QString>("confirmationIndicator");

    QTest::newRow("8 characters") << "abcd1234"
                                  << "abcd1234"
                                  << "abcd1234"
                                  << "OK"
                                  << "OK";
    QTest::newRow("7 characters") << "abcd123"
                                  << "abcd123"
                                  << "abcd123"
                                  << "X"
                                  << "X";
    QTest::newRow("blanks around are trimmed") << "  abcd1234  "
                                               << "abcd1234 "
                                               << "abcd1234"
                                               << "OK"
                                               << "OK";
    QTest::newRow("blanks only") << "        "
                                 << "        "
                                 << ""
                                 << "X"
                                 << "X";
    QTest::newRow("letter case counts") << "Abcd1234"
                                        << "abcd1234"
                                        << "Abcd1234"
                                        << "OK"
                                        << "X";
}

void ActivationPageTest::codeExits() {
    QFETCH(QString, code);
    QFETCH(QString, confirmation);
    QFETCH(QString, codeAfter);
    QFETCH(QString, codeIndicator);
    QFETCH(QString, confirmationIndicator);
    TActivationPage& page = Page();

    TypeAndLeave(page.ativar_codigo, code);
    QCOMPARE(page.ativar_codigo->text(), codeAfter);
    QCOMPARE(page.ativar_codigo_check->Caption(), codeIndicator);
    TypeAndLeave(page.ativar_codigo_conf, confirmation);
    QCOMPARE(page.ativar_codigo_conf_check->Caption(), confirmationIndicator);
}

void ActivationPageTest::sendsActivation_data() {
    QTest::addColumn<QString>("cnpj");
    QTest::addColumn<int>("state");
    QTest::addColumn<QByteArray>("cnpjSent");
    QTest::addColumn<int>("stateCodeSent");

    QTest::newRow("São Paulo, the default")
        << "61.099.008/0001-41" << 0 << QByteArray("61099008000141") << 35;
    QTest::newRow("Tocantins") << "61099008000141" << 26 << QByteArray("61099008000141") << 17;
    // An empty CNPJ is not refused: the device receives fourteen zeros.
    QTest::newRow("empty CNPJ") << "" << 0 << QByteArray("00000000000000") << 35;
}

void ActivationPageTest::sendsActivation() {
    QFETCH(QString, cnpj);
    QFETCH(int, state);
    QFETCH(QByteArray, cnpjSent);
    QFETCH(int, stateCodeSent);
    TActivationPage& page = Page();
    page.ativar_cnpj->setText(cnpj);
    FillCodes(QStringLiteral(" Abc12345 "), QStringLiteral("Abc12345"));
    page.ativar_certificado_uf->setCurrentIndex(state);
    window_->Session().codigoAtual = "left over";

    QTest::mouseClick(page.btn_sat_ativar, Qt::LeftButton);

    QCOMPARE(fake_->CallCount("AtivarSAT"), 1);
    QCOMPARE(NumberArgument(*fake_, "AtivarSAT", 1), 1); // AC-SAT
    QCOMPARE(TextArgument(*fake_, "AtivarSAT", 2), QByteArray("Abc12345"));
    QCOMPARE(TextArgument(*fake_, "AtivarSAT", 3), cnpjSent);
    QCOMPARE(NumberArgument(*fake_, "AtivarSAT", 4), stateCodeSent);
    // The fields show what was sent; the code-change parameters are emptied.
    QCOMPARE(page.ativar_cnpj->text(), QString::fromLatin1(cnpjSent));
    QCOMPARE(page.ativar_codigo->text(), QStringLiteral("Abc12345"));
    QCOMPARE(window_->Session().codigoAtual, std::string());
    // The wait panel said what ran and is gone; the wrapper's outcome dialog
    // is the only message.
    QCOMPARE(window_->AguardeGenPnl->lbl_msg->text(), Utf8("Efetuando ATIVAR Vexa®"));
    QVERIFY(!window_->AguardeGenPnl->isVisible());
    QCOMPARE(window_->messages.size(), std::size_t(1));
    QVERIFY(window_->messages.front().rfind("04000\r\n", 0) == 0);
}

void ActivationPageTest::refusalSendsNothing_data() {
    QTest::addColumn<QString>("cnpj");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("confirmation");
    QTest::addColumn<QString>("message");

    QTest::newRow("wrong check digit")
        << "61099008000142"
        << "abcd1234"
        << "abcd1234" << Utf8("CNPJ incorreto !\r\nRevise o mesmo e tente novamente.");
    QTest::newRow("code of 7") << "61099008000141"
                               << "abcd123"
                               << "abcd123"
                               << Utf8("Código de ATIVAÇÃO incorreto !\r\n"
                                       "Revise o mesmo e tente novamente.");
    QTest::newRow("confirmation of blanks")
        << "61099008000141"
        << "abcd1234"
        << "    "
        << Utf8("Código de ATIVAÇÃO de CONFIRMAÇÃO incorreto !\r\n"
                "Revise o mesmo e tente novamente.");
    QTest::newRow("codes differ in letter case")
        << "61099008000141"
        << "abcd1234"
        << "ABCD1234"
        << Utf8("Código de ATIVAÇÃO e ATIVAÇÃO de CONFIRMAÇÃO não coincidem !\r\n"
                "Revise os mesmos e tente novamente.");
}

void ActivationPageTest::refusalSendsNothing() {
    QFETCH(QString, cnpj);
    QFETCH(QString, code);
    QFETCH(QString, confirmation);
    QFETCH(QString, message);
    TActivationPage& page = Page();
    SatSession& session = window_->Session();
    session.codigoDeAtivacao = "anterior";
    session.cUF = "12";
    page.ativar_cnpj->setText(cnpj);
    FillCodes(code, confirmation);
    window_->SetIndicator(page.ativar_cnpj_check, true);

    page.btn_sat_ativarClick();

    QCOMPARE(window_->messages, std::vector<std::string>{message.toStdString()});
    QCOMPARE(fake_->CallCount("AtivarSAT"), 0);
    QCOMPARE(session.codigoDeAtivacao, std::string("anterior"));
    QCOMPARE(session.cUF, std::string("12"));
    // A refusal moves no indicator.
    QCOMPARE(page.ativar_cnpj_check->Caption(), QStringLiteral("OK"));
}

void ActivationPageTest::limparResetsThePage() {
    TActivationPage& page = Page();
    page.ativar_cnpj->setText(QStringLiteral("61.099.008/0001-41"));
    FillCodes(QStringLiteral("abcd1234"), QStringLiteral("abcd1234"));
    page.ativar_certificado_uf->setCurrentIndex(26);
    page.ativar_certificado_dig->setCurrentIndex(2);
    page.ativar_certificado_digClick();
    page.ativar_certificado_icp->setPlainText(QStringLiteral("-----BEGIN CERTIFICATE-----"));
    const QList<TFieldIndicator*> checks = page.findChildren<TFieldIndicator*>();
    QCOMPARE(checks.size(), 4);
    for (TFieldIndicator* check : checks) {
        window_->SetIndicator(check, true);
    }

    QTest::mouseClick(page.btn_ativar_limpa, Qt::LeftButton);

    QCOMPARE(page.ativar_cnpj->text() + page.ativar_codigo->text() +
                 page.ativar_codigo_conf->text() + page.ativar_certificado_icp->toPlainText(),
             QString());
    QCOMPARE(page.ativar_certificado_uf->currentIndex(), 0);
    QCOMPARE(page.ativar_certificado_dig->currentIndex(), 0);
    QVERIFY(!page.ativar_certificado_icp->isEnabled());
    for (TFieldIndicator* check : checks) {
        QCOMPARE(check->Caption(), QStringLiteral("X"));
    }
}

QTEST_MAIN(ActivationPageTest)
#include "tst_activation_page.moc"
