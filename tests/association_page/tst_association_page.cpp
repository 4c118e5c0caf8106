// The signature association page with real widgets: the CNPJ and signature
// exits, what the association sends, the default-code check that comes
// before everything else, the refusals; and the certificate page's reset and
// its send button that sends nothing.

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "dialogs/Yancomp.h"
#include "tests/page_window.h"
#include "ui/field_indicator.h"
#include "ui/pages/association_page.h"
#include "ui/pages/certificate_page.h"
#include "ui/wait_panel.h"

namespace {

constexpr int kAssociationPage = 2;
constexpr char kTaxpayer[] = "61099008000141";
constexpr char kSoftwareHouse[] = "16716114000172";
constexpr char kSignature[] = "SGR-SAT SISTEMA DE GESTAO E RETAGUARDA DO SAT";

QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

} // namespace

class AssociationPageTest : public PageWindowTest {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void cnpjExitAndEntry_data();
    void cnpjExitAndEntry();
    void signatureExit_data();
    void signatureExit();
    void sendsAssociation();
    void defaultCodeRefusalComesFirst_data();
    void defaultCodeRefusalComesFirst();
    void fieldRefusalSendsNothing_data();
    void fieldRefusalSendsNothing();
    void limparResetsThePage();
    void certificatePage();

private:
    TAssociationPage& Page() { return *window_->AdvPolyPage3; }
    void Fill(const QString& taxpayer, const QString& softwareHouse, const QString& signature);
};

void AssociationPageTest::init() {
    QVERIFY(PrepareWindow() && OpenWindow(kAssociationPage));
    ChooseDeviceStatus(*window_, TNetworkPage::kAtivado, QStringLiteral("12345678"));
    fake_->Reset();
}

void AssociationPageTest::cleanup() {
    EndWindow();
}

void AssociationPageTest::Fill(const QString& taxpayer, const QString& softwareHouse,
                               const QString& signature) {
    Page().associar_cnpj->setText(taxpayer);
    Page().associar_sh->setText(softwareHouse);
    Page().associar_assinatura->setPlainText(signature);
}

void AssociationPageTest::cnpjExitAndEntry_data() {
    QTest::addColumn<bool>("softwareHouse");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("afterExit");
    QTest::addColumn<QString>("indicator");

    QTest::newRow("taxpayer") << false << kTaxpayer << "61.099.008/0001-41"
                              << "OK";
    QTest::newRow("software house") << true << kSoftwareHouse << "16.716.114/0001-72"
                                    << "OK";
    QTest::newRow("software house, wrong check digit") << true << "16716114000173"
                                                       << "16716114000173"
                                                       << "X";
}

void AssociationPageTest::cnpjExitAndEntry() {
    QFETCH(bool, softwareHouse);
    QFETCH(QString, typed);
    QFETCH(QString, afterExit);
    QFETCH(QString, indicator);
    TAssociationPage& page = Page();
    TYEditNumeric* edit = softwareHouse ? page.associar_sh : page.associar_cnpj;
    TFieldIndicator* check = softwareHouse ? page.associar_sh_check : page.associar_cnpj_check;

    edit->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), edit);
    QTest::keyClicks(edit, typed);
    QTest::keyClick(edit, Qt::Key_Return);
    QTRY_VERIFY(QApplication::focusWidget() != edit);
    QCOMPARE(edit->text(), afterExit);
    QCOMPARE(check->Caption(), indicator);

    edit->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), edit);
    QCOMPARE(edit->text(), typed);
    QCOMPARE(edit->selectedText(), typed);
}

void AssociationPageTest::signatureExit_data() {
    QTest::addColumn<QString>("signature");
    QTest::addColumn<QString>("indicator");

    QTest::newRow("several lines with blanks around") << "  SGR-SAT SISTEMA\nDE GESTAO  \n\n"
                                                      << "OK";
    QTest::newRow("blanks and line breaks only") << "   \n  \n\n "
                                                 << "X";
    QTest::newRow("empty") << ""
                           << "X";
}

void AssociationPageTest::signatureExit() {
    QFETCH(QString, signature);
    QFETCH(QString, indicator);
    TAssociationPage& page = Page();
    page.associar_assinatura->setPlainText(signature);

    page.associar_assinatura->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), page.associar_assinatura);
    // Tab leaves the memo rather than typing into it.
    QTest::keyClick(page.associar_assinatura, Qt::Key_Tab);
    QTRY_COMPARE(QApplication::focusWidget(), page.btn_assinatura);

    QCOMPARE(page.associar_assinatura_check->Caption(), indicator);
    QCOMPARE(page.associar_assinatura->toPlainText(), signature);
}

void AssociationPageTest::sendsAssociation() {
    TAssociationPage& page = Page();
    window_->AdvPolyPage1->rede_status_sat_ativacao->setText(QStringLiteral("  12345678 "));
    Fill(QStringLiteral("61.099.008/0001-41"), QString::fromLatin1(kSoftwareHouse),
         QStringLiteral("  SGR-SAT SISTEMA DE GESTAO\r\nE RETAGUARDA DO SAT \n"));

    QTest::mouseClick(page.btn_assinatura, Qt::LeftButton);

    QCOMPARE(fake_->CallCount("AssociarAssinatura"), 1);
    QCOMPARE(TextArgument(*fake_, "AssociarAssinatura", 1), QByteArray("12345678"));
    // The software house first, then the taxpayer.
    QCOMPARE(TextArgument(*fake_, "AssociarAssinatura", 2),
             QByteArray("1671611400017261099008000141"));
    QCOMPARE(TextArgument(*fake_, "AssociarAssinatura", 3),
             QByteArray("SGR-SAT SISTEMA DE GESTAOE RETAGUARDA DO SAT"));
    QCOMPARE(page.associar_cnpj->text(), QString::fromLatin1(kTaxpayer));
    QCOMPARE(window_->AdvPolyPage1->rede_status_sat_ativacao->text(), QStringLiteral("12345678"));
    QCOMPARE(window_->AguardeGenPnl->lbl_msg->text(),
             Utf8("Efetuando Associação de Assinatura Vexa®"));
    QVERIFY(!window_->AguardeGenPnl->isVisible());
    QCOMPARE(window_->messages.size(), std::size_t(1));
    QVERIFY(window_->messages.front().rfind("13000\r\n", 0) == 0);
}

void AssociationPageTest::defaultCodeRefusalComesFirst_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("defaultCode");

    QTest::newRow("ATIVADO, 7 characters") << int(TNetworkPage::kAtivado) << "1234567";
    QTest::newRow("developer kit, 7 characters")
        << int(TNetworkPage::kKitDeDesenvolvedor) << "  1234567  ";
}

void AssociationPageTest::defaultCodeRefusalComesFirst() {
    QFETCH(int, status);
    QFETCH(QString, defaultCode);
    TAssociationPage& page = Page();
    ChooseDeviceStatus(*window_, status, defaultCode);
    window_->Session().codigoDeAtivacao = "anterior";
    // Fields that the signature check would both rewrite and refuse.
    Fill(QStringLiteral("61.099.008/0001-41"), QStringLiteral("16.716.114/0001-73"), QString());

    page.btn_assinaturaClick();

    QCOMPARE(window_->messages, std::vector<std::string>{"Código de Ativação Padrão inválido !"});
    QCOMPARE(page.associar_cnpj->text(), QStringLiteral("61.099.008/0001-41"));
    QCOMPARE(page.associar_sh->text(), QStringLiteral("16.716.114/0001-73"));
    QCOMPARE(window_->Session().codigoDeAtivacao, std::string("anterior"));
    QCOMPARE(fake_->CallCount("AssociarAssinatura"), 0);
}

void AssociationPageTest::fieldRefusalSendsNothing_data() {
    QTest::addColumn<QString>("taxpayer");
    QTest::addColumn<QString>("softwareHouse");
    QTest::addColumn<QString>("signature");
    QTest::addColumn<QString>("message");

    QTest::newRow("signature of blanks and line breaks")
        << kTaxpayer << kSoftwareHouse << "  \r\n \n"
        << Utf8("ASSINATURA incorreta !\r\nRevise o mesmo e tente novamente.");
    QTest::newRow("software house check digit")
        << kTaxpayer << "16716114000173" << kSignature
        << Utf8("CNPJ da Software House para ASSINATURA incorreto !\r\n"
                "Revise o mesmo e tente novamente.");
}

void AssociationPageTest::fieldRefusalSendsNothing() {
    QFETCH(QString, taxpayer);
    QFETCH(QString, softwareHouse);
    QFETCH(QString, signature);
    QFETCH(QString, message);
    SatSession& session = window_->Session();
    session.codigoDeAtivacao = "anterior";
    session.CNPJvalue = "anterior";
    Fill(taxpayer, softwareHouse, signature);
    const QString memo = Page().associar_assinatura->toPlainText();

    Page().btn_assinaturaClick();

    QCOMPARE(window_->messages, std::vector<std::string>{message.toStdString()});
    QCOMPARE(fake_->CallCount("AssociarAssinatura"), 0);
    QCOMPARE(session.codigoDeAtivacao, std::string("anterior"));
    QCOMPARE(session.CNPJvalue, std::string("anterior"));
    QCOMPARE(Page().associar_assinatura->toPlainText(), memo);
}

void AssociationPageTest::limparResetsThePage() {
    TAssociationPage& page = Page();
    Fill(QString::fromLatin1(kTaxpayer), QString::fromLatin1(kSoftwareHouse),
         QString::fromLatin1(kSignature));
    const QList<TFieldIndicator*> checks = page.findChildren<TFieldIndicator*>();
    QCOMPARE(checks.size(), 3);
    for (TFieldIndicator* check : checks) {
        window_->SetIndicator(check, true);
    }

    QTest::mouseClick(page.btn_associa, Qt::LeftButton);

    QCOMPARE(page.associar_cnpj->text() + page.associar_sh->text() +
                 page.associar_assinatura->toPlainText(),
             QString());
    for (TFieldIndicator* check : checks) {
        QCOMPARE(check->Caption(), QStringLiteral("X"));
    }
}

void AssociationPageTest::certificatePage() {
    TCertificatePage& page = *window_->AdvPolyPage4;
    page.icp_certificado_icp->setPlainText(QStringLiteral("  \n"));
    page.icp_certificado_icpExit();
    QCOMPARE(page.icp_certificado_icp_check->Caption(), QStringLiteral("X"));
    page.icp_certificado_icp->setPlainText(QStringLiteral("-----BEGIN CERTIFICATE-----\nMIIB"));
    page.icp_certificado_icpExit();
    QCOMPARE(page.icp_certificado_icp_check->Caption(), QStringLiteral("OK"));

    // "Enviar" sends nothing; "Limpar" empties the text but, unlike every
    // other reset, leaves the indicator.
    page.AdvGlassButton1->click();
    QCOMPARE(fake_->CallSequence(), std::string());
    page.btn_icp_limpa->click();
    QVERIFY(page.icp_certificado_icp->toPlainText().isEmpty());
    QCOMPARE(page.icp_certificado_icp_check->Caption(), QStringLiteral("OK"));
    window_->LimpaCertificado();
    QCOMPARE(page.icp_certificado_icp_check->Caption(), QStringLiteral("OK"));
    QVERIFY(window_->messages.empty());
}

QTEST_MAIN(AssociationPageTest)
#include "tst_association_page.moc"
