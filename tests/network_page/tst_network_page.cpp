// The network page with real widgets, offscreen, against the fake SAT
// library: the device-status rules over the window's list and the queries
// page's buttons, the address and proxy modes, the octet and proxy field
// rules as the user enters and leaves the fields, the focus moves, the code
// rule and the document that a send hands to the library, and the reset.
// Messages are recorded instead of shown.

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>
#include <string>
#include <vector>

#include "dialogs/Yancomp.h"
#include "rules/cp1252.h"
#include "sat/un_global.h"
#include "tests/fake_sat/fake_sat_control.h"
#include "tests/page_window.h"
#include "ui/field_indicator.h"
#include "ui/main_window.h"
#include "ui/page_set.h"
#include "ui/pages/network_page.h"
#include "ui/pages/queries_page.h"
#include "ui/wait_panel.h"

namespace {

// What the user does when picking an item of a drop-down list.
void Pick(QComboBox* list, int index) {
    list->setCurrentIndex(index);
    emit list->activated(index);
}

const char* const kCodeQueries[] = {"btn_02", "btn_03", "btn_04",   "btn_05",
                                    "btn_06", "btn_07", "btn_03_ed"};

constexpr char kSendMessage[] = "Enviando configurações de REDE para o Vexa ®";

// The document's fixed head and the values of a page left as reset: DHCP
// without credentials and no proxy.
std::string Document(const std::string& lan, const std::string& credentials,
                     const std::string& proxy) {
    return R"(<?xml version="1.0" encoding="UTF-8"?><config><tipoInter>ETHE</tipoInter>)"
           "<SSID></SSID><seg></seg><codigo></codigo>" +
           lan + credentials + proxy + "</config>";
}

std::string DhcpLan() {
    return "<tipoLan>DHCP</tipoLan><lanIP>000.000.000.000</lanIP>"
           "<lanMask>000.000.000.000</lanMask><lanGW>000.000.000.000</lanGW>"
           "<lanDNS1>000.000.000.000</lanDNS1><lanDNS2>000.000.000.000</lanDNS2>";
}

std::string NoProxy() {
    return "<proxy>0</proxy><proxy_ip>000.000.000.000</proxy_ip><proxy_porta>0</proxy_porta>"
           "<proxy_user></proxy_user><proxy_senha></proxy_senha>";
}

} // namespace

class NetworkPageTest : public PageWindowTest {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void statusTable_data();
    void statusTable();
    void enterOnSelector_data();
    void enterOnSelector();
    void addressMode_data();
    void addressMode();
    void modeSwitchKeepsFocusOnOption_data();
    void modeSwitchKeepsFocusOnOption();
    void proxyFieldsByTag_data();
    void proxyFieldsByTag();
    void octetEnterAndExit_data();
    void octetEnterAndExit();
    void octetEnteredByMouse_data();
    void octetEnteredByMouse();
    void groupCheckOnFourthOctet_data();
    void groupCheckOnFourthOctet();
    void dns2ExitMovesToProxyList_data();
    void dns2ExitMovesToProxyList();
    void proxyModes_data();
    void proxyModes();
    void fieldExits_data();
    void fieldExits();
    void focusMoves_data();
    void focusMoves();
    void codeRuleOnSend_data();
    void codeRuleOnSend();
    void sendDocument_data();
    void sendDocument();
    void resetRestoresEveryField();

private:
    RecordingWindow& Open();
    TNetworkPage& Page() const { return *window_->AdvPolyPage1; }
    template <typename T = QWidget> T* Named(const QString& name) const {
        return window_->findChild<T*>(name);
    }
    void FocusOn(QWidget* control);
    void Leave(QWidget* control);
};

void NetworkPageTest::init() {
    QVERIFY(PrepareWindow());
}

void NetworkPageTest::cleanup() {
    EndWindow();
}

// The window past its first reset, on the network page, with the fake
// library bound.
RecordingWindow& NetworkPageTest::Open() {
    if (!OpenWindow(0)) {
        qFatal("the window could not be set up");
    }
    window_->messages.clear();
    return *window_;
}

void NetworkPageTest::FocusOn(QWidget* control) {
    control->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(control->hasFocus());
}

// Leaves `control` for the send button, which has no rule of its own.
void NetworkPageTest::Leave(QWidget* control) {
    QVERIFY(control->hasFocus());
    Page().btn_enviar_rede->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(!control->hasFocus());
}

// ------------------------------------------------------------ status

void NetworkPageTest::statusTable_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("stepBadges");
    QTest::addColumn<bool>("codeEnabled");
    QTest::addColumn<bool>("activationEntry");
    QTest::addColumn<bool>("associationEntry");
    QTest::addColumn<bool>("codeKept");
    QTest::newRow("NÃO ATIVADO") << TNetworkPage::kNaoAtivado << true << false << true << false
                                 << false;
    QTest::newRow("ATIVADO") << TNetworkPage::kAtivado << false << true << false << true << true;
    QTest::newRow("KIT DE DESENVOLVEDOR")
        << TNetworkPage::kKitDeDesenvolvedor << false << true << false << false << true;
}

void NetworkPageTest::statusTable() {
    QFETCH(int, status);
    QFETCH(bool, stepBadges);
    QFETCH(bool, codeEnabled);
    QFETCH(bool, activationEntry);
    QFETCH(bool, associationEntry);
    QFETCH(bool, codeKept);

    RecordingWindow& w = Open();
    TNetworkPage& page = Page();
    // The rule reaches the queries page's buttons by name: stand-ins for
    // whichever of them that page does not have (yet).
    for (const char* name : kCodeQueries) {
        if (Named(QString::fromLatin1(name)) == nullptr) {
            auto* button = new QPushButton(w.AdvPolyPage5->Body());
            button->setObjectName(QString::fromLatin1(name));
        }
    }

    Pick(page.rede_status_sat, TNetworkPage::kKitDeDesenvolvedor);
    page.rede_status_sat_ativacao->setText(QStringLiteral("12345678"));
    if (status == TNetworkPage::kKitDeDesenvolvedor) {
        Pick(page.rede_status_sat, TNetworkPage::kAtivado);
    }
    Pick(page.rede_status_sat, status);

    QCOMPARE(w.meu_01->BadgeVisible(), stepBadges);
    QCOMPARE(w.meu_02->BadgeVisible(), stepBadges);
    QVERIFY(!w.meu_03->BadgeVisible());
    for (QWidget* control :
         QList<QWidget*>{page.rede_status_sat_ativacao, page.rede_status_sat_ativacao_lbl,
                         page.rede_status_sat_ativacao_lbl1, page.rede_status_sat_ativacao_check}) {
        QCOMPARE(control->isEnabled(), codeEnabled);
    }
    QCOMPARE(w.meu_02->isVisibleTo(w.AdvPolyPager1), activationEntry);
    QCOMPARE(w.meu_02->isEnabled(), activationEntry);
    QCOMPARE(w.meu_03->isVisibleTo(w.AdvPolyPager1), associationEntry);
    QCOMPARE(w.meu_03->isEnabled(), associationEntry);
    QVERIFY(!w.HeaderItem2->isVisibleTo(w.AdvPolyPager1) && !w.HeaderItem2->isEnabled());
    QVERIFY(!w.meu_04->isVisibleTo(w.AdvPolyPager1) && !w.meu_04->isEnabled());
    for (QWidget* entry : {w.meu_01, w.meu_05, w.meu_06, w.meu_07}) {
        QVERIFY2(entry->isVisibleTo(w.AdvPolyPager1), qPrintable(entry->objectName()));
    }
    for (const char* name : kCodeQueries) {
        QVERIFY2(Named(QString::fromLatin1(name))->isEnabled() == codeEnabled, name);
    }
    QCOMPARE(page.rede_status_sat_ativacao->text(),
             codeKept ? QStringLiteral("12345678") : QString());
}

void NetworkPageTest::enterOnSelector_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("focused");
    QTest::newRow("NÃO ATIVADO") << TNetworkPage::kNaoAtivado << "rede_dhcp_opt";
    QTest::newRow("ATIVADO") << TNetworkPage::kAtivado << "rede_status_sat_ativacao";
    QTest::newRow("KIT DE DESENVOLVEDOR")
        << TNetworkPage::kKitDeDesenvolvedor << "rede_status_sat_ativacao";
}

void NetworkPageTest::enterOnSelector() {
    QFETCH(int, status);
    QFETCH(QString, focused);

    Open();
    TNetworkPage& page = Page();
    Pick(page.rede_status_sat, status);
    FocusOn(page.rede_status_sat);
    QTest::keyClick(page.rede_status_sat, Qt::Key_Z); // other keys do nothing here
    QVERIFY(page.rede_status_sat->hasFocus());
    QTest::keyClick(page.rede_status_sat, Qt::Key_Return);
    QTRY_COMPARE(QApplication::focusWidget()->objectName(), focused);
}

// ------------------------------------------------------------ modes

void NetworkPageTest::addressMode_data() {
    QTest::addColumn<QString>("option");
    QTest::addColumn<bool>("dhcp");
    QTest::newRow("DHCP") << "rede_dhcp_opt" << true;
    QTest::newRow("IP FIXO") << "rede_manual_opt" << false;
}

void NetworkPageTest::addressMode() {
    QFETCH(QString, option);
    QFETCH(bool, dhcp);

    RecordingWindow& w = Open();
    TNetworkPage& page = Page();
    page.rede_manual_opt->click();
    page.rede_dhcp_user->setText(QStringLiteral("usuario"));
    page.rede_manual_ip.octets[0]->setText(QStringLiteral("192"));
    w.SetIndicator(page.rede_manual_ip.check, true);

    QTest::mouseClick(Named(option), Qt::LeftButton);

    QCOMPARE(page.rede_dhcp_opt->isChecked(), dhcp);
    QCOMPARE(page.rede_manual_opt->isChecked(), !dhcp);
    for (const char* name :
         {"rede_dhcp_user", "rede_dhcp_user_lbl", "rede_dhcp_pass", "rede_dhcp_pass_lbl"}) {
        QVERIFY2(Named(QString::fromLatin1(name))->isEnabled() == dhcp, name);
    }
    for (const char* group : {"rede_manual_ip", "rede_manual_masc", "rede_manual_gate",
                              "rede_manual_dns1", "rede_manual_dns2"}) {
        const QString base = QString::fromLatin1(group);
        QVERIFY2(Named(base + QStringLiteral("_lbl"))->isEnabled() == !dhcp, group);
        for (int i = 1; i <= 4; ++i) {
            QVERIFY2(Named(base + QStringLiteral("_") + QString::number(i))->isEnabled() == !dhcp,
                     group);
        }
    }
    // Choosing a mode clears nothing and leaves the indicators alone.
    QCOMPARE(page.rede_dhcp_user->text(), QStringLiteral("usuario"));
    QCOMPARE(page.rede_manual_ip.octets[0]->text(), QStringLiteral("192"));
    QCOMPARE(page.rede_manual_ip.check->Caption(), QStringLiteral("OK"));
}

// Leaving a chosen option sends the focus into its fields, and a click on
// the other option then disables the field holding it. The focus stays on
// the option clicked, instead of running along the tab order through the
// disabled fields' exit rules (the DHCP password's would end on the proxy
// list, and the octets typed next would be lost).
void NetworkPageTest::modeSwitchKeepsFocusOnOption_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("clicked");
    QTest::newRow("DHCP to fixed address") << "rede_dhcp_opt"
                                           << "rede_manual_opt";
    QTest::newRow("fixed address to DHCP") << "rede_manual_opt"
                                           << "rede_dhcp_opt";
}

void NetworkPageTest::modeSwitchKeepsFocusOnOption() {
    QFETCH(QString, from);
    QFETCH(QString, clicked);

    Open();
    auto* option = Named<QRadioButton>(from);
    option->click();
    FocusOn(option);
    auto* other = Named<QRadioButton>(clicked);
    QTest::mouseClick(other, Qt::LeftButton);
    QVERIFY(other->isChecked());
    QTRY_COMPARE(QApplication::focusWidget(), other);
}

// The maintenance page's code-kind list carries tag 2 and is bound to
// HabilitaRedeClick: it switches the proxy fields by the proxy mode alone.
void NetworkPageTest::proxyFieldsByTag_data() {
    QTest::addColumn<int>("tag");
    QTest::addColumn<int>("proxyMode");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("tag 2, no proxy") << 2 << TNetworkPage::kSemServidorProxy << false;
    QTest::newRow("tag 2, transparent") << 2 << TNetworkPage::kProxyTransparente << true;
    QTest::newRow("other tag changes nothing") << 7 << TNetworkPage::kProxyTransparente << false;
}

void NetworkPageTest::proxyFieldsByTag() {
    QFETCH(int, tag);
    QFETCH(int, proxyMode);
    QFETCH(bool, enabled);

    Open();
    TNetworkPage& page = Page();
    Pick(page.rede_proxy_opt, proxyMode);
    page.rede_proxy_port->setText(QStringLiteral("8080"));
    QObject sender;
    sender.setProperty("tag", tag);
    page.HabilitaRedeClick(&sender);

    for (QWidget* control : QList<QWidget*>{page.rede_proxy_user, page.rede_proxy_pass,
                                            page.rede_proxy_user_lbl, page.rede_proxy_pass_lbl}) {
        QVERIFY2(control->isEnabled() == enabled, qPrintable(control->objectName()));
    }
    const bool addressEnabled = proxyMode > TNetworkPage::kSemServidorProxy;
    QCOMPARE(page.rede_proxy_port->isEnabled(), addressEnabled);
    QCOMPARE(page.rede_proxy_ip.octets[3]->isEnabled(), addressEnabled);
    QCOMPARE(page.rede_proxy_port->text(), QStringLiteral("8080"));
}

// ------------------------------------------------------------ fields

void NetworkPageTest::octetEnterAndExit_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("afterExit");
    QTest::addColumn<QString>("onEnter");
    // The key filter drops the letter.
    QTest::newRow("x7") << "x7"
                        << "007"
                        << "7";
    QTest::newRow("left empty") << ""
                                << "000"
                                << "0";
    QTest::newRow("out of range kept") << "999"
                                       << "999"
                                       << "999";
}

void NetworkPageTest::octetEnterAndExit() {
    QFETCH(QString, typed);
    QFETCH(QString, afterExit);
    QFETCH(QString, onEnter);

    Open();
    TNetworkPage& page = Page();
    page.rede_manual_opt->click();
    TYEditNumeric* octet = page.rede_manual_ip.octets[0];
    FocusOn(octet);
    QTest::keyClick(octet, Qt::Key_Backspace); // the "0" shown on entering an empty octet
    QTest::keyClicks(octet, typed);
    Leave(octet);
    QCOMPARE(octet->text(), afterExit);

    FocusOn(octet);
    QCOMPARE(octet->text(), onEnter);
    QCOMPARE(octet->selectedText(), onEnter);
}

// Clicking into an octet selects its text as entering by keyboard does, so
// the digits typed next replace it: "192" typed into an empty octet (which
// shows "0") must not become "190".
void NetworkPageTest::octetEnteredByMouse_data() {
    QTest::addColumn<QString>("octet");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("typed");
    QTest::newRow("ip 1, empty") << "rede_manual_ip_1"
                                 << ""
                                 << "192";
    QTest::newRow("mask 4, empty") << "rede_manual_masc_4"
                                   << ""
                                   << "25";
    QTest::newRow("gateway 2, 007") << "rede_manual_gate_2"
                                    << "007"
                                    << "1";
    QTest::newRow("dns1 3, empty") << "rede_manual_dns1_3"
                                   << ""
                                   << "8";
    QTest::newRow("dns2 4, 255") << "rede_manual_dns2_4"
                                 << "255"
                                 << "44";
    QTest::newRow("proxy 1, empty") << "rede_proxy_ip_1"
                                    << ""
                                    << "10";
}

void NetworkPageTest::octetEnteredByMouse() {
    QFETCH(QString, octet);
    QFETCH(QString, before);
    QFETCH(QString, typed);

    Open();
    TNetworkPage& page = Page();
    page.rede_manual_opt->click();
    Pick(page.rede_proxy_opt, TNetworkPage::kProxyComConfiguracao);
    auto* edit = Named<TYEditNumeric>(octet);
    QVERIFY(edit != nullptr && edit->isEnabled());
    edit->setText(before);
    FocusOn(page.btn_enviar_rede);

    QTest::mouseClick(edit, Qt::LeftButton, Qt::NoModifier, QPoint(4, edit->height() / 2));
    QVERIFY(edit->hasFocus());
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), typed);
}

void NetworkPageTest::groupCheckOnFourthOctet_data() {
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("left");
    QTest::addColumn<QStringList>("octets");
    QTest::addColumn<bool>("wasOk");
    QTest::addColumn<QString>("check");

    const auto octets = [](const char* a, const char* b, const char* c, const char* d) {
        return QStringList{QString::fromLatin1(a), QString::fromLatin1(b), QString::fromLatin1(c),
                           QString::fromLatin1(d)};
    };
    QTest::newRow("ip: fourth 256")
        << TNetworkPage::kGroupIp << 3 << octets("192", "168", "0", "256") << true << "X";
    QTest::newRow("ip: fourth 255, others empty")
        << TNetworkPage::kGroupIp << 3 << octets("", "", "", "255") << false << "OK";
    QTest::newRow("ip: first octet wrong")
        << TNetworkPage::kGroupIp << 3 << octets("300", "1", "1", "1") << true << "X";
    QTest::newRow("ip: third octet keeps OK")
        << TNetworkPage::kGroupIp << 2 << octets("1", "1", "999", "1") << true << "OK";
    QTest::newRow("mask: range only")
        << TNetworkPage::kGroupMasc << 3 << octets("255", "0", "255", "1") << false << "OK";
    QTest::newRow("gateway") << TNetworkPage::kGroupGate << 3 << octets("192", "256", "0", "1")
                             << true << "X";
    QTest::newRow("dns1") << TNetworkPage::kGroupDns1 << 3 << octets("8", "8", "8", "8") << false
                          << "OK";
    QTest::newRow("proxy ip") << TNetworkPage::kGroupProxyIp << 3 << octets("10", "0", "0", "999")
                              << true << "X";
}

void NetworkPageTest::groupCheckOnFourthOctet() {
    QFETCH(int, group);
    QFETCH(int, left);
    QFETCH(QStringList, octets);
    QFETCH(bool, wasOk);
    QFETCH(QString, check);

    RecordingWindow& w = Open();
    TNetworkPage& page = Page();
    page.rede_manual_opt->click();
    Pick(page.rede_proxy_opt, TNetworkPage::kProxyComConfiguracao);
    TNetworkPage::OctetRow* row = page.Group(group);
    QVERIFY(row != nullptr);
    for (int i = 0; i < 4; ++i) {
        row->octets[static_cast<std::size_t>(i)]->setText(octets[i]);
    }
    w.SetIndicator(row->check, wasOk);

    TYEditNumeric* edit = row->octets[static_cast<std::size_t>(left)];
    FocusOn(edit);
    Leave(edit);
    QCOMPARE(row->check->Caption(), check);
    QCOMPARE(edit->text().size(), 3); // padded
}

void NetworkPageTest::dns2ExitMovesToProxyList_data() {
    QTest::addColumn<QString>("fourth");
    QTest::addColumn<bool>("byTab");
    QTest::addColumn<QString>("check");
    QTest::newRow("in range, Tab") << "4" << true << "OK";
    QTest::newRow("in range, elsewhere") << "4" << false << "OK";
    QTest::newRow("out of range, elsewhere") << "256" << false << "X";
}

void NetworkPageTest::dns2ExitMovesToProxyList() {
    QFETCH(QString, fourth);
    QFETCH(bool, byTab);
    QFETCH(QString, check);

    Open();
    TNetworkPage& page = Page();
    page.rede_manual_opt->click();
    TNetworkPage::OctetRow& dns2 = page.rede_manual_dns2;
    dns2.octets[0]->setText(QStringLiteral("8"));
    dns2.octets[1]->setText(QStringLiteral("8"));
    dns2.octets[2]->setText(QStringLiteral("4"));
    TYEditNumeric* last = dns2.octets[3];
    FocusOn(last);
    last->setText(fourth);
    if (byTab) {
        QTest::keyClick(last, Qt::Key_Tab);
    } else {
        page.btn_enviar_rede->setFocus(Qt::TabFocusReason);
    }
    QTRY_COMPARE(QApplication::focusWidget(), page.rede_proxy_opt);
    QCOMPARE(dns2.check->Caption(), check);
    QCOMPARE(last->text(), fourth.rightJustified(3, u'0'));
}

void NetworkPageTest::proxyModes_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("addressEnabled");
    QTest::addColumn<bool>("credentialsEnabled");
    QTest::newRow("SEM SERVIDOR PROXY") << TNetworkPage::kSemServidorProxy << false << false;
    QTest::newRow("PROXY COM CONFIGURAÇÃO") << TNetworkPage::kProxyComConfiguracao << true << true;
    QTest::newRow("PROXY TRANSPARENTE") << TNetworkPage::kProxyTransparente << true << false;
}

void NetworkPageTest::proxyModes() {
    QFETCH(int, mode);
    QFETCH(bool, addressEnabled);
    QFETCH(bool, credentialsEnabled);

    RecordingWindow& w = Open();
    TNetworkPage& page = Page();
    Pick(page.rede_proxy_opt, TNetworkPage::kProxyComConfiguracao);
    const QStringList address{QStringLiteral("010"), QStringLiteral("000"), QStringLiteral("000"),
                              QStringLiteral("001")};
    for (int i = 0; i < 4; ++i) {
        page.rede_proxy_ip.octets[static_cast<std::size_t>(i)]->setText(address[i]);
    }
    page.rede_proxy_port->setText(QStringLiteral("3128"));
    page.rede_proxy_user->setText(QStringLiteral("ana"));
    page.rede_proxy_pass->setText(QStringLiteral("segredo"));
    for (TFieldIndicator* check : {page.rede_proxy_ip.check, page.rede_proxy_port_check,
                                   page.rede_proxy_user_check, page.rede_proxy_pass_check}) {
        w.SetIndicator(check, true);
    }

    Pick(page.rede_proxy_opt, mode);

    QCOMPARE(page.rede_proxy_ip.caption->isEnabled(), addressEnabled);
    for (TYEditNumeric* octet : page.rede_proxy_ip.octets) {
        QCOMPARE(octet->isEnabled(), addressEnabled);
        QCOMPARE(octet->text().isEmpty(), !addressEnabled);
    }
    QCOMPARE(page.rede_proxy_port->isEnabled(), addressEnabled);
    QCOMPARE(page.rede_proxy_port_lbl->isEnabled(), addressEnabled);
    QCOMPARE(page.rede_proxy_port->text(), addressEnabled ? QStringLiteral("3128") : QString());
    QCOMPARE(page.rede_proxy_ip.check->Caption(),
             addressEnabled ? QStringLiteral("OK") : QStringLiteral("X"));
    QCOMPARE(page.rede_proxy_port_check->Caption(),
             addressEnabled ? QStringLiteral("OK") : QStringLiteral("X"));

    for (QWidget* control : QList<QWidget*>{page.rede_proxy_user, page.rede_proxy_pass,
                                            page.rede_proxy_user_lbl, page.rede_proxy_pass_lbl}) {
        QVERIFY2(control->isEnabled() == credentialsEnabled, qPrintable(control->objectName()));
    }
    QCOMPARE(page.rede_proxy_user->text(), credentialsEnabled ? QStringLiteral("ana") : QString());
    QCOMPARE(page.rede_proxy_pass->text(),
             credentialsEnabled ? QStringLiteral("segredo") : QString());
    QCOMPARE(page.rede_proxy_user_check->Caption(),
             credentialsEnabled ? QStringLiteral("OK") : QStringLiteral("X"));
    QCOMPARE(page.rede_proxy_pass_check->Caption(),
             credentialsEnabled ? QStringLiteral("OK") : QStringLiteral("X"));
}

void NetworkPageTest::fieldExits_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("check");
    QTest::newRow("port 0") << "rede_proxy_port"
                            << "0"
                            << "0"
                            << "X";
    QTest::newRow("port leading zeros") << "rede_proxy_port"
                                        << "00080"
                                        << "80"
                                        << "OK";
    QTest::newRow("proxy user trimmed") << "rede_proxy_user"
                                        << "  ana  "
                                        << "ana"
                                        << "OK";
    QTest::newRow("proxy password blank") << "rede_proxy_pass"
                                          << "   "
                                          << ""
                                          << "X";
    QTest::newRow("default code, 7 characters") << "rede_status_sat_ativacao"
                                                << "1234567"
                                                << "1234567"
                                                << "X";
    QTest::newRow("default code, blanks trimmed") << "rede_status_sat_ativacao"
                                                  << "  12345678 "
                                                  << "12345678"
                                                  << "OK";
}

void NetworkPageTest::fieldExits() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QFETCH(QString, check);

    Open();
    TNetworkPage& page = Page();
    Pick(page.rede_status_sat, TNetworkPage::kAtivado);
    Pick(page.rede_proxy_opt, TNetworkPage::kProxyComConfiguracao);
    auto* edit = Named<QLineEdit>(field);
    QVERIFY(edit != nullptr);
    FocusOn(edit);
    edit->setText(text);
    Leave(edit);
    QCOMPARE(edit->text(), shown);
    QCOMPARE(Named<TFieldIndicator>(field + QStringLiteral("_check"))->Caption(), check);
}

// ------------------------------------------------------------ focus

void NetworkPageTest::focusMoves_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("manual");
    QTest::addColumn<int>("proxyMode");
    QTest::addColumn<QString>("start");
    QTest::addColumn<bool>("byEnter"); // else the focus is put elsewhere
    QTest::addColumn<QString>("focused");

    const int none = TNetworkPage::kSemServidorProxy;
    const int with = TNetworkPage::kProxyComConfiguracao;
    QTest::newRow("code, Enter") << 1 << false << none << "rede_status_sat_ativacao" << true
                                 << "rede_dhcp_opt";
    QTest::newRow("DHCP option, Enter")
        << 0 << false << none << "rede_dhcp_opt" << true << "rede_dhcp_user";
    QTest::newRow("DHCP option, left elsewhere")
        << 0 << false << none << "rede_dhcp_opt" << false << "rede_dhcp_user";
    QTest::newRow("DHCP password, Enter skips the fixed address")
        << 0 << false << none << "rede_dhcp_pass" << true << "rede_proxy_opt";
    QTest::newRow("DHCP password, left elsewhere")
        << 0 << false << with << "rede_dhcp_pass" << false << "rede_proxy_opt";
    QTest::newRow("fixed option, Enter")
        << 0 << true << none << "rede_manual_opt" << true << "rede_manual_ip_1";
    QTest::newRow("fixed option, left elsewhere")
        << 0 << true << none << "rede_manual_opt" << false << "rede_manual_ip_1";
    QTest::newRow("proxy list without proxy, Enter")
        << 0 << false << none << "rede_proxy_opt" << true << "btn_enviar_rede";
    QTest::newRow("proxy list with proxy, Enter")
        << 0 << false << with << "rede_proxy_opt" << true << "rede_proxy_ip_1";
    QTest::newRow("proxy list with proxy, left elsewhere")
        << 0 << false << with << "rede_proxy_opt" << false << "rede_proxy_ip_1";
    QTest::newRow("proxy password, Enter")
        << 0 << false << with << "rede_proxy_pass" << true << "btn_enviar_rede";
}

void NetworkPageTest::focusMoves() {
    QFETCH(int, status);
    QFETCH(bool, manual);
    QFETCH(int, proxyMode);
    QFETCH(QString, start);
    QFETCH(bool, byEnter);
    QFETCH(QString, focused);

    Open();
    TNetworkPage& page = Page();
    Pick(page.rede_status_sat, status);
    (manual ? page.rede_manual_opt : page.rede_dhcp_opt)->click();
    Pick(page.rede_proxy_opt, proxyMode);

    QWidget* control = Named(start);
    QVERIFY(control != nullptr);
    FocusOn(control);
    if (byEnter) {
        QTest::keyClick(control, Qt::Key_Return);
    } else {
        page.btn_enviar_rede->setFocus(Qt::TabFocusReason);
    }
    QTRY_COMPARE(QApplication::focusWidget()->objectName(), focused);
}

// ------------------------------------------------------------ sending

void NetworkPageTest::codeRuleOnSend_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("sentCode");
    QTest::newRow("NÃO ATIVADO, empty code: the placeholder")
        << TNetworkPage::kNaoAtivado << "" << false << "73519024";
    QTest::newRow("ATIVADO, 7 characters") << TNetworkPage::kAtivado << "1234567" << true << "";
    QTest::newRow("ATIVADO, blanks trimmed")
        << TNetworkPage::kAtivado << "  12345678  " << false << "12345678";
    QTest::newRow("KIT, empty") << TNetworkPage::kKitDeDesenvolvedor << "" << true << "";
    QTest::newRow("KIT, 32 characters")
        << TNetworkPage::kKitDeDesenvolvedor << QString(32, u'k') << false << QString(32, u'k');
}

void NetworkPageTest::codeRuleOnSend() {
    QFETCH(int, status);
    QFETCH(QString, code);
    QFETCH(bool, refused);
    QFETCH(QString, sentCode);

    RecordingWindow& w = Open();
    TNetworkPage& page = Page();
    Pick(page.rede_status_sat, status);
    page.rede_status_sat_ativacao->setText(code);

    QTest::mouseClick(page.btn_enviar_rede, Qt::LeftButton);

    QCOMPARE(page.rede_status_sat_ativacao->text(), code.trimmed());
    if (refused) {
        QCOMPARE(w.messages, std::vector<std::string>{"Código de Ativação Padrão inválido !"});
        QCOMPARE(fake_->CallCount("ConfigurarInterfaceDeRede"), 0);
        return;
    }
    QCOMPARE(fake_->CallCount("ConfigurarInterfaceDeRede"), 1);
    const std::vector<FakeSatArgument> arguments =
        fake_->LastArguments("ConfigurarInterfaceDeRede");
    QCOMPARE(arguments.size(), std::size_t(3));
    QCOMPARE(QString::fromStdString(arguments[1].text), sentCode);
}

void NetworkPageTest::sendDocument_data() {
    QTest::addColumn<bool>("manual");
    QTest::addColumn<int>("proxyMode");
    QTest::addColumn<QVariantMap>("texts");
    QTest::addColumn<QString>("document"); // empty: refused
    QTest::addColumn<QString>("message");

    QTest::newRow("DHCP, credentials escaped")
        << false << TNetworkPage::kSemServidorProxy
        << QVariantMap{{QStringLiteral("rede_dhcp_user"), QStringLiteral("a&b")},
                       {QStringLiteral("rede_dhcp_pass"), QStringLiteral("<x>\"'")},
                       // Octets of a mode not chosen are not sent.
                       {QStringLiteral("rede_manual_ip_1"), QStringLiteral("192")}}
        << QString::fromStdString(
               Document(DhcpLan(), "<usuario>a&amp;b</usuario><senha>&lt;x&gt;&quot;&apos;</senha>",
                        NoProxy()))
        << "";
    QTest::newRow("fixed address")
        << true << TNetworkPage::kSemServidorProxy
        << QVariantMap{{QStringLiteral("rede_dhcp_user"), QStringLiteral("ignored")},
                       {QStringLiteral("rede_manual_ip"), QStringLiteral("192.168.0.10")},
                       {QStringLiteral("rede_manual_masc"), QStringLiteral("255.255.255.0")},
                       {QStringLiteral("rede_manual_gate"), QStringLiteral("192.168.000.1")},
                       {QStringLiteral("rede_manual_dns1"), QStringLiteral("8.8.8.8")},
                       {QStringLiteral("rede_manual_dns2"), QStringLiteral("8.8.4.4")}}
        << QString::fromStdString(
               Document("<tipoLan>IPFIX</tipoLan><lanIP>192.168.000.010</lanIP>"
                        "<lanMask>255.255.255.000</lanMask><lanGW>192.168.000.001</lanGW>"
                        "<lanDNS1>008.008.008.008</lanDNS1><lanDNS2>008.008.004.004</lanDNS2>",
                        "<usuario></usuario><senha></senha>", NoProxy()))
        << "";
    QTest::newRow("proxy with configuration, password only")
        << false << TNetworkPage::kProxyComConfiguracao
        << QVariantMap{{QStringLiteral("rede_proxy_ip"), QStringLiteral("10.0.0.1")},
                       {QStringLiteral("rede_proxy_port"), QStringLiteral("3128")},
                       {QStringLiteral("rede_proxy_pass"), QStringLiteral("p&q")}}
        << QString::fromStdString(Document(
               DhcpLan(), "<usuario></usuario><senha></senha>",
               "<proxy>1</proxy><proxy_ip>010.000.000.001</proxy_ip><proxy_porta>3128</proxy_porta>"
               "<proxy_user></proxy_user><proxy_senha>p&amp;q</proxy_senha>"))
        << "";
    QTest::newRow("fixed address octet 256 refused")
        << true << TNetworkPage::kSemServidorProxy
        << QVariantMap{{QStringLiteral("rede_manual_gate_2"), QStringLiteral("256")}} << ""
        << "Configurações de REDE ( IP FIXO ) incorretas !\r\nRevise as opções e tente novamente.";
    QTest::newRow("transparent proxy without port refused")
        << false << TNetworkPage::kProxyTransparente
        << QVariantMap{{QStringLiteral("rede_proxy_ip_1"), QStringLiteral("10")}} << ""
        << "Configurações de REDE ( PROXY ) incorretas !\r\nRevise as opções e tente novamente.";
}

void NetworkPageTest::sendDocument() {
    QFETCH(bool, manual);
    QFETCH(int, proxyMode);
    QFETCH(QVariantMap, texts);
    QFETCH(QString, document);
    QFETCH(QString, message);

    RecordingWindow& w = Open();
    TNetworkPage& page = Page();
    (manual ? page.rede_manual_opt : page.rede_dhcp_opt)->click();
    Pick(page.rede_proxy_opt, proxyMode);
    // A key naming an address row takes the four octets as "a.b.c.d".
    for (auto it = texts.cbegin(); it != texts.cend(); ++it) {
        const QStringList parts = it.value().toString().split(u'.');
        for (qsizetype i = 0; i < parts.size(); ++i) {
            const QString name =
                parts.size() == 1 ? it.key() : it.key() + u'_' + QString::number(i + 1);
            auto* edit = Named<QLineEdit>(name);
            QVERIFY2(edit != nullptr, qPrintable(name));
            edit->setText(parts[i]);
        }
    }

    QTest::mouseClick(page.btn_enviar_rede, Qt::LeftButton);

    if (document.isEmpty()) {
        QCOMPARE(w.messages, std::vector<std::string>{message.toStdString()});
        QCOMPARE(fake_->CallCount("ConfigurarInterfaceDeRede"), 0);
        QVERIFY(w.AguardeGenPnl->lbl_msg->text() != QString::fromUtf8(kSendMessage));
        return;
    }
    QCOMPARE(fake_->CallCount("ConfigurarInterfaceDeRede"), 1);
    const std::vector<FakeSatArgument> arguments =
        fake_->LastArguments("ConfigurarInterfaceDeRede");
    QCOMPARE(arguments.size(), std::size_t(3));
    QCOMPARE(arguments[0].number, w.Session().SessionNumber);
    QCOMPARE(QString::fromStdString(arguments[1].text), QStringLiteral("73519024"));
    QCOMPARE(QString::fromStdString(arguments[2].text), document);
    QCOMPARE(QString::fromStdString(w.Session().dadosConfiguracao), document);
    // The wait panel covered the call and is gone; the wrapper's dialog told
    // the outcome.
    QCOMPARE(w.AguardeGenPnl->lbl_msg->text(), QString::fromUtf8(kSendMessage));
    QVERIFY(!w.AguardeGenPnl->isVisible());
    QCOMPARE(w.messages.size(), std::size_t(1));
    QVERIFY2(w.messages.front().find("Rede configurada com sucesso") != std::string::npos,
             w.messages.front().c_str());
}

// ------------------------------------------------------------ reset

void NetworkPageTest::resetRestoresEveryField() {
    RecordingWindow& w = Open();
    TNetworkPage& page = Page();
    Pick(page.rede_status_sat, TNetworkPage::kAtivado);
    page.rede_status_sat_ativacao->setText(QStringLiteral("12345678"));
    page.rede_manual_opt->click();
    Pick(page.rede_proxy_opt, TNetworkPage::kProxyComConfiguracao);
    const QList<QLineEdit*> edits = page.findChildren<QLineEdit*>();
    for (QLineEdit* edit : edits) {
        edit->setText(QStringLiteral("1"));
    }
    const QList<TFieldIndicator*> checks = page.findChildren<TFieldIndicator*>();
    QCOMPARE(checks.size(), 10);
    for (TFieldIndicator* check : checks) {
        w.SetIndicator(check, true);
    }

    QTest::mouseClick(page.btn_rede_limpar, Qt::LeftButton);

    QCOMPARE(page.DeviceStatus(), TNetworkPage::kNaoAtivado);
    QCOMPARE(page.ProxyMode(), TNetworkPage::kSemServidorProxy);
    QVERIFY(page.rede_dhcp_opt->isChecked());
    QVERIFY(page.rede_dhcp_user->isEnabled() && page.rede_dhcp_pass->isEnabled());
    QVERIFY(!page.rede_manual_ip.octets[0]->isEnabled());
    QVERIFY(!page.rede_proxy_port->isEnabled() && !page.rede_proxy_user->isEnabled());
    QVERIFY(!page.rede_status_sat_ativacao->isEnabled());
    QVERIFY(w.meu_02->isVisibleTo(w.AdvPolyPager1));
    QVERIFY(!w.meu_03->isVisibleTo(w.AdvPolyPager1));
    for (QLineEdit* edit : edits) {
        QVERIFY2(edit->text().isEmpty(), qPrintable(edit->objectName()));
    }
    for (TFieldIndicator* check : checks) {
        QVERIFY2(check->Caption() == QStringLiteral("X"), qPrintable(check->objectName()));
    }
    QVERIFY(w.messages.empty());
}

QTEST_MAIN(NetworkPageTest)
#include "tst_network_page.moc"
