// The maintenance page with real widgets: block, unblock and update with the
// default code and their results in memo_retorno_1, the code change with its
// kind, the refusals that leave the memo alone, the code exits and the reset.

#include "ui/result_memo.h"
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "dialogs/Yancomp.h"
#include "tests/page_window.h"
#include "ui/field_indicator.h"
#include "ui/pages/maintenance_page.h"
#include "ui/wait_panel.h"

namespace {

constexpr int kMaintenancePage = 5;
constexpr char kEarlierResult[] = "resultado anterior";

QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

QPushButton* DeviceButton(TMaintenancePage& page, int button) {
    switch (button) {
    case 11:
        return page.AdvGlassButton11;
    case 10:
        return page.AdvGlassButton10;
    default:
        return page.AdvGlassButton14;
    }
}

} // namespace

class MaintenancePageTest : public PageWindowTest {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void deviceCommands_data();
    void deviceCommands();
    void defaultCodeRefusalLeavesMemo_data();
    void defaultCodeRefusalLeavesMemo();
    void codeChange_data();
    void codeChange();
    void codeChangeRefusals_data();
    void codeChangeRefusals();
    void codeExits_data();
    void codeExits();
    void tabOrder_data();
    void tabOrder();
    void limparLeavesMemo();
    void kindListReappliesProxyRule();

private:
    TMaintenancePage& Page() { return *window_->AdvPolyPage6; }
    void FillCodes(const QString& current, const QString& fresh, const QString& confirmation);
};

void MaintenancePageTest::init() {
    QVERIFY(PrepareWindow() && OpenWindow(kMaintenancePage));
    fake_->Reset();
    Page().memo_retorno_1->setPlainText(QString::fromLatin1(kEarlierResult));
}

void MaintenancePageTest::cleanup() {
    EndWindow();
}

void MaintenancePageTest::FillCodes(const QString& current, const QString& fresh,
                                    const QString& confirmation) {
    Page().manutencao_cod_ativacao->setText(current);
    Page().manutencao_cod_ativacao_novo->setText(fresh);
    Page().manutencao_cod_ativacao_novo_conf->setText(confirmation);
}

void MaintenancePageTest::deviceCommands_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("defaultCode");
    QTest::addColumn<QByteArray>("exportName");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("waitMessage");
    QTest::addColumn<QString>("memo");

    // The block answer is kept in its quoted comma-separated form, which the
    // memo shows as "|"-separated fields again. The code check applies only
    // to a status above "NÃO ATIVADO".
    QTest::newRow("Bloquear, not activated, no code")
        << 11 << int(TNetworkPage::kNaoAtivado) << "" << QByteArray("BloquearSAT")
        << QByteArray("8|16001|Código de ativação inválido||")
        << Utf8("Efetuando BLOQUEIO do Vexa®") << Utf8("8|16001|Código de ativação inválido||");
    QTest::newRow("Desbloquear") << 10 << int(TNetworkPage::kKitDeDesenvolvedor) << "12345678"
                                 << QByteArray("DesbloquearSAT")
                                 << QByteArray("9|17000|Equipamento SAT desbloqueado||")
                                 << Utf8("Efetuando DESBLOQUEIO do Vexa®")
                                 << Utf8("9|17000|Equipamento SAT desbloqueado||");
    QTest::newRow("Atualizar, quoted fields in the answer")
        << 14 << int(TNetworkPage::kAtivado) << "12345678" << QByteArray("AtualizarSoftwareSAT")
        << QByteArray("10|14000|\"a\",\"b\"||") << Utf8("Efetuando ATUALIZAR SOFTWARE Vexa®")
        << Utf8("10|14000|a|b||");
}

void MaintenancePageTest::deviceCommands() {
    QFETCH(int, button);
    QFETCH(int, status);
    QFETCH(QString, defaultCode);
    QFETCH(QByteArray, exportName);
    QFETCH(QByteArray, answer);
    QFETCH(QString, waitMessage);
    QFETCH(QString, memo);
    ChooseDeviceStatus(*window_, status, defaultCode);
    fake_->SetAnswer(exportName.toStdString(), answer.toStdString());

    QTest::mouseClick(DeviceButton(Page(), button), Qt::LeftButton);

    QCOMPARE(fake_->CallSequence(), exportName.toStdString());
    QCOMPARE(TextArgument(*fake_, exportName.constData(), 1), defaultCode.trimmed().toLatin1());
    QCOMPARE(window_->Session().codigoDeAtivacao, defaultCode.trimmed().toStdString());
    QCOMPARE(Page().memo_retorno_1->toPlainText(), memo);
    QCOMPARE(window_->AguardeGenPnl->lbl_msg->text(), waitMessage);
    QVERIFY(!window_->AguardeGenPnl->isVisible());
}

void MaintenancePageTest::defaultCodeRefusalLeavesMemo_data() {
    QTest::addColumn<int>("button");
    QTest::newRow("Bloquear") << 11;
    QTest::newRow("Enviar") << 15;
}

void MaintenancePageTest::defaultCodeRefusalLeavesMemo() {
    QFETCH(int, button);
    ChooseDeviceStatus(*window_, TNetworkPage::kAtivado, QStringLiteral("1234567"));
    FillCodes(QStringLiteral("12345678"), QStringLiteral("87654321"), QStringLiteral("87654321"));

    if (button == 15) {
        Page().AdvGlassButton15Click();
    } else {
        DeviceButton(Page(), button)->click();
    }

    QCOMPARE(window_->messages, std::vector<std::string>{"Código de Ativação Padrão inválido !"});
    QCOMPARE(fake_->CallSequence(), std::string());
    QCOMPARE(Page().memo_retorno_1->toPlainText(), QString::fromLatin1(kEarlierResult));
}

void MaintenancePageTest::codeChange_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("defaultCode");
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QString>("defaultCodeAfter");

    const int activation = TMaintenancePage::kCodigoDeAtivacao;
    const int emergency = TMaintenancePage::kCodigoDeEmergencia;
    QTest::newRow("activation code")
        << activation << 1 << "12345678" << QByteArray("18000") << "12345678";
    QTest::newRow("emergency code")
        << emergency << 2 << "12345678" << QByteArray("18000") << "12345678";
    // The default code was the one replaced: it would be refused from now on.
    QTest::newRow("default code was the current one")
        << activation << 1 << "atual123" << QByteArray("18000") << "Novo1234";
    QTest::newRow("default code was the current one, change refused")
        << activation << 1 << "atual123" << QByteArray("18001") << "atual123";
}

void MaintenancePageTest::codeChange() {
    QFETCH(int, kind);
    QFETCH(int, option);
    QFETCH(QString, defaultCode);
    QFETCH(QByteArray, code);
    QFETCH(QString, defaultCodeAfter);
    TMaintenancePage& page = Page();
    ChooseDeviceStatus(*window_, TNetworkPage::kAtivado, defaultCode);
    FillCodes(QStringLiteral(" atual123 "), QStringLiteral("Novo1234"),
              QStringLiteral("Novo1234 "));
    page.manutencao_tipo->setCurrentIndex(kind);
    const QByteArray answer = "11|" + code + "|\"Código alterado\"||";
    fake_->SetAnswer("TrocarCodigoDeAtivacao", answer.toStdString());

    QTest::mouseClick(page.AdvGlassButton15, Qt::LeftButton);

    QCOMPARE(fake_->CallSequence(), std::string("TrocarCodigoDeAtivacao"));
    // The current (or emergency) code typed here, not the default code.
    QCOMPARE(TextArgument(*fake_, "TrocarCodigoDeAtivacao", 1), QByteArray("atual123"));
    QCOMPARE(NumberArgument(*fake_, "TrocarCodigoDeAtivacao", 2), option);
    QCOMPARE(TextArgument(*fake_, "TrocarCodigoDeAtivacao", 3), QByteArray("Novo1234"));
    QCOMPARE(TextArgument(*fake_, "TrocarCodigoDeAtivacao", 4), QByteArray("Novo1234"));
    QCOMPARE(page.manutencao_cod_ativacao->text(), QStringLiteral("atual123"));
    // The code change's result reaches the memo unchanged, quotes and all.
    QCOMPARE(page.memo_retorno_1->toPlainText(), QString::fromUtf8(answer));
    QCOMPARE(window_->AguardeGenPnl->lbl_msg->text(),
             Utf8("Efetuando TROCA DO CODIGO DE ATIVAÇÃO Vexa®"));
    QVERIFY(!window_->AguardeGenPnl->isVisible());
    QCOMPARE(window_->AdvPolyPage1->rede_status_sat_ativacao->text(), defaultCodeAfter);
}

void MaintenancePageTest::codeChangeRefusals_data() {
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("fresh");
    QTest::addColumn<QString>("confirmation");
    QTest::addColumn<QString>("message");

    QTest::newRow("current code of 7")
        << "atual12"
        << "Novo1234"
        << "Novo1234"
        << Utf8("Código de ATIVAÇÃO ATUAL ou de EMERGENCIA incorreto !\r\n"
                "Revise o mesmo e tente novamente.");
    QTest::newRow("confirmation differs in letter case")
        << "atual123"
        << "Novo1234"
        << "novo1234"
        << Utf8("Código de ATIVAÇÃO NOVO e ATIVAÇÃO NOVO de CONFIRMAÇÃO não coincidem !\r\n"
                "Revise os mesmos e tente novamente.");
}

void MaintenancePageTest::codeChangeRefusals() {
    QFETCH(QString, current);
    QFETCH(QString, fresh);
    QFETCH(QString, confirmation);
    QFETCH(QString, message);
    ChooseDeviceStatus(*window_, TNetworkPage::kAtivado, QStringLiteral("12345678"));
    FillCodes(current, fresh, confirmation);
    SatSession& session = window_->Session();
    session.novoCodigo = "anterior";

    Page().AdvGlassButton15Click();

    QCOMPARE(window_->messages, std::vector<std::string>{message.toStdString()});
    QCOMPARE(fake_->CallSequence(), std::string());
    QCOMPARE(Page().memo_retorno_1->toPlainText(), QString::fromLatin1(kEarlierResult));
    // The check empties the code-change parameters first, also when it refuses.
    QCOMPARE(session.novoCodigo, std::string());
}

void MaintenancePageTest::codeExits_data() {
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("fresh");
    QTest::addColumn<QString>("confirmation");
    QTest::addColumn<QString>("indicators");

    QTest::newRow("all good") << " atual123"
                              << "Novo1234"
                              << "Novo1234  "
                              << "OK OK OK";
    QTest::newRow("confirmation differs in letter case") << "atual123"
                                                         << "Novo1234"
                                                         << "NOVO1234"
                                                         << "OK OK X";
}

void MaintenancePageTest::codeExits() {
    QFETCH(QString, current);
    QFETCH(QString, fresh);
    QFETCH(QString, confirmation);
    QFETCH(QString, indicators);
    TMaintenancePage& page = Page();

    // Typed in tab order, each left with Enter, which moves on to the next.
    page.manutencao_cod_ativacao->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), page.manutencao_cod_ativacao);
    for (const QString& text : {current, fresh, confirmation}) {
        QWidget* field = QApplication::focusWidget();
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Return);
        QTRY_VERIFY(QApplication::focusWidget() != field);
    }
    QCOMPARE(QApplication::focusWidget(), page.manutencao_tipo);

    const QStringList shown{page.manutencao_cod_ativacao_check->Caption(),
                            page.manutencao_cod_ativacao_novo_check->Caption(),
                            page.manutencao_cod_ativacao_novo_conf_check->Caption()};
    QCOMPARE(shown.join(u' '), indicators);
    QCOMPARE(page.manutencao_cod_ativacao->text(), current.trimmed());
}

// The page top to bottom: the device buttons; the code change as current
// code, new code, confirmation, kind, "Enviar"; the result memo; the page
// list (one stop for all of it); round again.
void MaintenancePageTest::tabOrder_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<bool>("backwards");
    QTest::addColumn<QString>("to");
    const auto row = [](const char* from, bool backwards, const char* to) {
        QTest::addRow("%s %s", from, backwards ? "Shift+Tab" : "Tab") << from << backwards << to;
    };
    row("AdvGlassButton14", false, "manutencao_cod_ativacao");
    row("manutencao_cod_ativacao", false, "manutencao_cod_ativacao_novo");
    row("manutencao_cod_ativacao_novo", false, "manutencao_cod_ativacao_novo_conf");
    row("manutencao_cod_ativacao_novo_conf", false, "manutencao_tipo");
    row("manutencao_tipo", false, "AdvGlassButton15");
    row("AdvGlassButton15", false, "memo_retorno_1");
    row("memo_retorno_1", false, "AdvPolyPager1_list");
    row("AdvPolyPager1_list", false, "AdvGlassButton11");
    row("AdvGlassButton11", true, "AdvPolyPager1_list");
    row("AdvPolyPager1_list", true, "memo_retorno_1");
    row("AdvGlassButton15", true, "manutencao_tipo");
}

void MaintenancePageTest::tabOrder() {
    QFETCH(QString, from);
    QFETCH(bool, backwards);
    QFETCH(QString, to);
    auto* start = window_->findChild<QWidget*>(from);
    QVERIFY(start != nullptr);
    start->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), start);

    QTest::keyClick(start, backwards ? Qt::Key_Backtab : Qt::Key_Tab,
                    backwards ? Qt::ShiftModifier : Qt::NoModifier);

    QWidget* focused = QApplication::focusWidget();
    QCOMPARE(focused != nullptr ? focused->objectName() : QString(), to);
}

void MaintenancePageTest::limparLeavesMemo() {
    TMaintenancePage& page = Page();
    FillCodes(QStringLiteral("atual123"), QStringLiteral("Novo1234"), QStringLiteral("Novo1234"));
    page.manutencao_tipo->setCurrentIndex(TMaintenancePage::kCodigoDeEmergencia);
    const QList<TFieldIndicator*> checks = page.findChildren<TFieldIndicator*>();
    QCOMPARE(checks.size(), 3);
    for (TFieldIndicator* check : checks) {
        window_->SetIndicator(check, true);
    }

    QTest::mouseClick(page.AdvGlassButton2, Qt::LeftButton);

    QCOMPARE(page.manutencao_cod_ativacao->text() + page.manutencao_cod_ativacao_novo->text() +
                 page.manutencao_cod_ativacao_novo_conf->text(),
             QString());
    QCOMPARE(page.manutencao_tipo->currentIndex(), int(TMaintenancePage::kCodigoDeAtivacao));
    for (TFieldIndicator* check : checks) {
        QCOMPARE(check->Caption(), QStringLiteral("X"));
    }
    QCOMPARE(page.memo_retorno_1->toPlainText(), QString::fromLatin1(kEarlierResult));
}

// Choosing a code kind runs the network page's enabling handler under the
// proxy tag: in proxy mode 2 that enables the proxy user and password.
void MaintenancePageTest::kindListReappliesProxyRule() {
    TNetworkPage& network = *window_->AdvPolyPage1;
    network.rede_proxy_opt->setCurrentIndex(TNetworkPage::kProxyTransparente);
    network.rede_proxy_optClick();
    QVERIFY(!network.rede_proxy_user->isEnabled());

    TMaintenancePage& page = Page();
    page.manutencao_tipo->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), page.manutencao_tipo);
    QTest::keyClick(page.manutencao_tipo, Qt::Key_Down);

    QCOMPARE(page.manutencao_tipo->currentIndex(), int(TMaintenancePage::kCodigoDeEmergencia));
    QVERIFY(network.rede_proxy_user->isEnabled());
    QVERIFY(network.rede_proxy_pass->isEnabled());
    QVERIFY(network.rede_proxy_port->isEnabled());
    QCOMPARE(page.manutencao_cod_ativacao_check->Caption(), QStringLiteral("X"));
}

QTEST_MAIN(MaintenancePageTest)
#include "tst_maintenance_page.moc"
