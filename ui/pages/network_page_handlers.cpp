// The network page's handlers: the device-status rules, the address and
// proxy modes, the field rules on entering and leaving, the focus moves,
// sending the configuration and the page reset. Field values are worked on
// by the plain-value rules of rules/; this file only moves texts between the
// widgets and those rules.

#include "ui/pages/network_page.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>

#include "dialogs/Yancomp.h"
#include "dialogs/ansi_text.h"
#include "rules/field_rules.h"
#include "sat/un_global.h"
#include "ui/field_indicator.h"
#include "ui/page_set.h"
#include "ui/pages/page_host.h"

namespace {

std::string AnsiText(const QLineEdit* edit) {
    return QStringToAnsi(edit->text());
}

void SetAnsiText(QLineEdit* edit, const std::string& cp1252) {
    edit->setText(AnsiToQString(cp1252));
}

void ShowEntry(QWidget* entry, bool shown) {
    entry->setEnabled(shown);
    entry->setVisible(shown);
}

// Hides the wait panel however the operation under it ends.
class WaitPanelGuard {
public:
    explicit WaitPanelGuard(TPageHost& host) : host_(host) {}
    ~WaitPanelGuard() { host_.FechaAguarde(); }
    WaitPanelGuard(const WaitPanelGuard&) = delete;
    WaitPanelGuard& operator=(const WaitPanelGuard&) = delete;

private:
    TPageHost& host_;
};

} // namespace

int TNetworkPage::DeviceStatus() const {
    return rede_status_sat->currentIndex();
}

int TNetworkPage::ProxyMode() const {
    return rede_proxy_opt->currentIndex();
}

void TNetworkPage::SetIndicator(TFieldIndicator* indicator, bool ok) {
    host_.SetIndicator(indicator, ok);
}

// ---------------------------------------------------------------- status

void TNetworkPage::rede_status_satClick() {
    const int s = DeviceStatus();
    const bool notActivated = s == kNaoAtivado;
    const bool hasCode = s > kNaoAtivado;
    const TStatusListEntries entries = host_.StatusListEntries();

    entries.meu_01->SetBadgeVisible(notActivated);
    entries.meu_02->SetBadgeVisible(notActivated);
    entries.meu_03->SetBadgeVisible(false);

    rede_status_sat_ativacao->setEnabled(hasCode);
    rede_status_sat_ativacao_lbl->setEnabled(hasCode);
    rede_status_sat_ativacao_lbl1->setEnabled(hasCode);
    rede_status_sat_ativacao_check->setEnabled(hasCode);

    ShowEntry(entries.meu_02, notActivated);
    ShowEntry(entries.meu_03, s == kAtivado);
    ShowEntry(entries.HeaderItem2, false);
    ShowEntry(entries.meu_04, false);

    // The queries page's operations that need the default code; whichever
    // of them the window has.
    static const char* const kCodeQueries[] = {"btn_02", "btn_03", "btn_04",   "btn_05",
                                               "btn_06", "btn_07", "btn_03_ed"};
    for (const char* name : kCodeQueries) {
        if (auto* control = host_.HostWidget().findChild<QWidget*>(QString::fromLatin1(name))) {
            control->setEnabled(hasCode);
        }
    }

    if (notActivated) {
        rede_status_sat_ativacao->clear();
    }
}

bool TNetworkPage::rede_status_satKeyDown(int key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter) {
        return false;
    }
    if (DeviceStatus() <= kNaoAtivado) {
        rede_dhcp_opt->setFocus(Qt::TabFocusReason);
    } else {
        rede_status_sat_ativacao->setFocus(Qt::TabFocusReason);
    }
    return true;
}

void TNetworkPage::rede_status_sat_ativacaoExit() {
    const FieldExit exit = ActivationCodeOnExit(AnsiText(rede_status_sat_ativacao));
    SetAnsiText(rede_status_sat_ativacao, exit.text);
    SetIndicator(rede_status_sat_ativacao_check, exit.indicator == Indicator::OK);
}

// ---------------------------------------------------------------- modes

QList<QWidget*> TNetworkPage::RowControls(const OctetRow& row) {
    QList<QWidget*> controls{row.caption};
    controls.append(QList<QWidget*>(row.octets.begin(), row.octets.end()));
    controls.append(QList<QWidget*>(row.dots.begin(), row.dots.end()));
    return controls;
}

void TNetworkPage::SetEnabledKeepingFocus(const QList<QWidget*>& controls, bool enabled,
                                          QWidget* keeper) {
    // Qt moves the focus off a field that gets disabled, along the tab order,
    // and that move runs the exit rules of every field it passes. The focus
    // goes to the control that switched the mode instead, and the exit rules
    // keep their own focus moves to themselves meanwhile.
    const QScopedValueRollback<bool> switching(switchingMode_, true);
    if (!enabled && keeper != nullptr && keeper->isEnabled() &&
        controls.contains(QApplication::focusWidget())) {
        keeper->setFocus(Qt::OtherFocusReason);
    }
    for (QWidget* control : controls) {
        control->setEnabled(enabled);
    }
}

void TNetworkPage::ClearRow(OctetRow& row) {
    for (TYEditNumeric* octet : row.octets) {
        octet->clear();
    }
}

void TNetworkPage::HabilitaRedeClick(QObject* sender) {
    if (sender == nullptr) {
        return;
    }
    // The control clicked, when it is one of this page's.
    QWidget* keeper = qobject_cast<QWidget*>(sender);
    if (keeper != nullptr && !isAncestorOf(keeper)) {
        keeper = nullptr;
    }
    switch (sender->property("tag").toInt()) {
    case kTagDhcp:
    case kTagManual: {
        SetEnabledKeepingFocus(
            {rede_dhcp_user_lbl, rede_dhcp_user, rede_dhcp_pass_lbl, rede_dhcp_pass},
            rede_dhcp_opt->isChecked(), keeper);
        QList<QWidget*> fixedAddress;
        for (const OctetRow* row : {&rede_manual_ip, &rede_manual_masc, &rede_manual_gate,
                                    &rede_manual_dns1, &rede_manual_dns2}) {
            fixedAddress.append(RowControls(*row));
        }
        SetEnabledKeepingFocus(fixedAddress, rede_manual_opt->isChecked(), keeper);
        break;
    }
    case kTagProxy: {
        QList<QWidget*> proxy = RowControls(rede_proxy_ip);
        proxy.append({rede_proxy_port_lbl, rede_proxy_port, rede_proxy_user_lbl, rede_proxy_user,
                      rede_proxy_pass_lbl, rede_proxy_pass});
        SetEnabledKeepingFocus(proxy, ProxyMode() > kSemServidorProxy, keeper);
        break;
    }
    default:
        break;
    }
}

void TNetworkPage::rede_proxy_optClick() {
    const int p = ProxyMode();
    const bool address = p > kSemServidorProxy;
    const bool credentials = p == kProxyComConfiguracao;

    QList<QWidget*> addressControls = RowControls(rede_proxy_ip);
    addressControls.append({rede_proxy_port_lbl, rede_proxy_port});
    SetEnabledKeepingFocus(addressControls, address, rede_proxy_opt);
    SetEnabledKeepingFocus(
        {rede_proxy_user_lbl, rede_proxy_user, rede_proxy_pass_lbl, rede_proxy_pass}, credentials,
        rede_proxy_opt);

    if (!address) {
        ClearRow(rede_proxy_ip);
        rede_proxy_port->clear();
        SetIndicator(rede_proxy_ip.check, false);
        SetIndicator(rede_proxy_port_check, false);
    }
    if (!credentials) {
        rede_proxy_user->clear();
        rede_proxy_pass->clear();
        SetIndicator(rede_proxy_user_check, false);
        SetIndicator(rede_proxy_pass_check, false);
    }
}

// ---------------------------------------------------------------- focus

void TNetworkPage::rede_dhcp_optExit() {
    if (!switchingMode_ && rede_dhcp_opt->isChecked()) {
        rede_dhcp_user->setFocus(Qt::TabFocusReason);
    }
}

void TNetworkPage::rede_manual_optExit() {
    if (!switchingMode_ && rede_manual_opt->isChecked()) {
        rede_manual_ip.octets.front()->setFocus(Qt::TabFocusReason);
    }
}

void TNetworkPage::rede_dhcp_passExit() {
    rede_proxy_opt->setFocus(Qt::TabFocusReason);
}

void TNetworkPage::rede_proxy_optExit() {
    if (switchingMode_) {
        return;
    }
    if (ProxyMode() <= kSemServidorProxy) {
        btn_enviar_rede->setFocus(Qt::TabFocusReason);
    } else {
        rede_proxy_ip.octets.front()->setFocus(Qt::TabFocusReason);
    }
}

// ---------------------------------------------------------------- fields

void TNetworkPage::NumericAllEnter(TYEditNumeric* sender) {
    SetAnsiText(sender, NumberFieldOnEnter(AnsiText(sender)));
    sender->selectAll();
}

void TNetworkPage::IPMascExit(TYEditNumeric* sender) {
    std::size_t position = 0;
    OctetRow* row = RowOf(sender, position);
    if (row == nullptr) {
        return;
    }
    OctetTexts texts;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        texts[i] = AnsiText(row->octets[i]);
    }
    const OctetExit exit = OctetFieldOnExit(texts, position, sender->property("tag").toInt());
    SetAnsiText(sender, exit.text);
    if (exit.groupIndicator) {
        if (OctetRow* group = Group(sender->property("tag").toInt())) {
            SetIndicator(group->check, *exit.groupIndicator == Indicator::OK);
        }
    }
}

void TNetworkPage::rede_manual_dns2_4Exit() {
    OctetTexts texts;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        texts[i] = AnsiText(rede_manual_dns2.octets[i]);
    }
    const OctetExit exit = Dns2LastOctetOnExit(texts);
    SetAnsiText(rede_manual_dns2.octets.back(), exit.text);
    if (exit.groupIndicator) {
        SetIndicator(rede_manual_dns2.check, *exit.groupIndicator == Indicator::OK);
    }
    if (!switchingMode_) {
        rede_proxy_opt->setFocus(Qt::TabFocusReason);
    }
}

void TNetworkPage::rede_proxy_portExit() {
    const FieldExit exit = ProxyPortOnExit(AnsiText(rede_proxy_port));
    SetAnsiText(rede_proxy_port, exit.text);
    SetIndicator(rede_proxy_port_check, exit.indicator == Indicator::OK);
}

void TNetworkPage::rede_proxy_userExit() {
    const FieldExit exit = ProxyCredentialOnExit(AnsiText(rede_proxy_user));
    SetAnsiText(rede_proxy_user, exit.text);
    SetIndicator(rede_proxy_user_check, exit.indicator == Indicator::OK);
}

void TNetworkPage::rede_proxy_passExit() {
    const FieldExit exit = ProxyCredentialOnExit(AnsiText(rede_proxy_pass));
    SetAnsiText(rede_proxy_pass, exit.text);
    SetIndicator(rede_proxy_pass_check, exit.indicator == Indicator::OK);
}

// ---------------------------------------------------------------- sending

NetworkFields TNetworkPage::Fields() const {
    const auto octets = [](const OctetRow& row) {
        OctetTexts texts;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            texts[i] = AnsiText(row.octets[i]);
        }
        return texts;
    };
    NetworkFields fields;
    fields.rede_dhcp_opt = rede_dhcp_opt->isChecked();
    fields.rede_manual_opt = rede_manual_opt->isChecked();
    fields.rede_dhcp_user = AnsiText(rede_dhcp_user);
    fields.rede_dhcp_pass = AnsiText(rede_dhcp_pass);
    fields.rede_manual_ip = octets(rede_manual_ip);
    fields.rede_manual_masc = octets(rede_manual_masc);
    fields.rede_manual_gate = octets(rede_manual_gate);
    fields.rede_manual_dns1 = octets(rede_manual_dns1);
    fields.rede_manual_dns2 = octets(rede_manual_dns2);
    fields.rede_proxy_opt = ProxyMode();
    fields.rede_proxy_ip = octets(rede_proxy_ip);
    fields.rede_proxy_port = AnsiText(rede_proxy_port);
    fields.rede_proxy_user = AnsiText(rede_proxy_user);
    fields.rede_proxy_pass = AnsiText(rede_proxy_pass);
    return fields;
}

void TNetworkPage::btn_enviar_redeClick() {
    // Trims the default code back into its field and, while the device has
    // a code of its own, refuses one that cannot be right.
    if (!host_.ConfereCodigoPadrao()) {
        return;
    }
    SatSession& session = host_.Session();
    session.codigoDeAtivacao = DeviceStatus() > kNaoAtivado ? AnsiText(rede_status_sat_ativacao)
                                                            : std::string(kNotActivatedCode);

    const ShowMessage show = [this](const std::string& text) {
        return host_.ShowMessageDialog(text);
    };
    if (!BuildNetworkDocument(Fields(), vexaRede_, session.dadosConfiguracao, show)) {
        return;
    }

    host_.MostraAguarde(QStringLiteral("Enviando configurações de REDE para o Vexa ®"));
    const WaitPanelGuard hideWaitPanel(host_);
    // The wrapper reports the outcome in its own dialog; the page shows no
    // result text.
    session.RunConfigurarInterfaceDeRede();
}

void TNetworkPage::btn_rede_limparClick() {
    Limpa();
}

void TNetworkPage::Limpa() {
    rede_proxy_opt->setCurrentIndex(kSemServidorProxy);
    rede_status_sat->setCurrentIndex(kNaoAtivado);

    rede_dhcp_opt->setChecked(true);
    HabilitaRedeClick(rede_dhcp_opt);

    rede_proxy_optClick();
    rede_status_satClick();

    rede_dhcp_user->setEnabled(rede_dhcp_opt->isChecked());
    rede_dhcp_pass->setEnabled(rede_dhcp_opt->isChecked());

    rede_status_sat_ativacao->clear();
    rede_dhcp_user->clear();
    rede_dhcp_pass->clear();
    for (OctetRow* row : Groups()) {
        ClearRow(*row);
    }
    rede_proxy_port->clear();
    rede_proxy_user->clear();
    rede_proxy_pass->clear();

    // Every indicator of the page to X.
    TPageBase::Limpa();
}
