#pragma once
// Page 0, network: the device-status selector and the default activation
// code that every other page depends on, and the device's network settings
// (DHCP or fixed address, proxy) sent with ConfigurarInterfaceDeRede.
//
// The selector's position is the device status of the whole window: it
// decides which list entries, badges and query buttons are available. The
// other pages read the default code through the host's ConfereCodigoPadrao.

#include "ui/pages/page_base.h"

#include <QList>

#include <array>
#include <string>

#include "rules/network_document.h"

class QGridLayout;
class QLabel;
class QPushButton;
class QRadioButton;
class TFieldIndicator;
class TYBoxCombo;
class TYEditNumeric;
class TYEditString;

class TNetworkPage : public TPageBase {
    Q_OBJECT

public:
    // Positions of the device-status selector.
    static constexpr int kNaoAtivado = 0;
    static constexpr int kAtivado = 1;
    static constexpr int kKitDeDesenvolvedor = 2;
    // Positions of the proxy list.
    static constexpr int kSemServidorProxy = 0;
    static constexpr int kProxyComConfiguracao = 1;
    static constexpr int kProxyTransparente = 2;

    static constexpr int kActivationCodeMaxLength = 32;
    static constexpr int kCredentialMaxLength = 255;
    static constexpr int kOctetDigits = 3;
    static constexpr int kPortDigits = 9;

    // Tags read by the shared handlers: HabilitaRedeClick by the option
    // buttons and lists, IPMascExit by the fourth octet of each address
    // (its group number; the other octets carry 0).
    static constexpr int kTagDhcp = 0;
    static constexpr int kTagManual = 1;
    static constexpr int kTagProxy = 2;
    static constexpr int kGroupIp = 1;
    static constexpr int kGroupMasc = 2;
    static constexpr int kGroupGate = 3;
    static constexpr int kGroupDns1 = 4;
    static constexpr int kGroupDns2 = 5;
    static constexpr int kGroupProxyIp = 6;

    // The code sent with the network settings while the device is not yet
    // activated and so has no code of its own.
    static constexpr char kNotActivatedCode[] = "73519024";

    // One address row: its caption, the four octet edits (first octet
    // first), the "." labels between them and the group's indicator.
    struct OctetRow {
        QLabel* caption = nullptr;
        std::array<TYEditNumeric*, 4> octets{};
        std::array<QLabel*, 3> dots{};
        TFieldIndicator* check = nullptr;
    };

    explicit TNetworkPage(TPageHost& host, QWidget* parent = nullptr);

    // The device status as the selector reads it, 0 to 2.
    int DeviceStatus() const;
    // The proxy mode as the proxy list reads it, 0 to 2.
    int ProxyMode() const;

    // LimpaRede: proxy and status back to 0 with their rules applied, DHCP
    // chosen, every field cleared and every indicator X.
    void Limpa() override;

    // The values of the network document last built by a send.
    const TVexa_Rede& Vexa_Rede() const { return vexaRede_; }

    // Handlers, under the names the controls bind.
    void rede_status_satClick();
    // True when the key was Enter and moved the focus.
    bool rede_status_satKeyDown(int key);
    void rede_status_sat_ativacaoExit();
    // Enables fields by the tag of `sender` (0, 1: the option buttons; 2: the
    // proxy fields by the proxy mode). The maintenance page's code-kind list
    // is bound here as well.
    void HabilitaRedeClick(QObject* sender);
    void rede_dhcp_optExit();
    void rede_dhcp_passExit();
    void rede_manual_optExit();
    void NumericAllEnter(TYEditNumeric* sender);
    void IPMascExit(TYEditNumeric* sender);
    void rede_manual_dns2_4Exit();
    void rede_proxy_optClick();
    void rede_proxy_optExit();
    void rede_proxy_portExit();
    void rede_proxy_userExit();
    void rede_proxy_passExit();
    void btn_enviar_redeClick();
    void btn_rede_limparClick();

    // The address row of a group number (kGroupIp .. kGroupProxyIp), or
    // nullptr for any other number.
    OctetRow* Group(int groupNumber);

    QLabel* Label48 = nullptr;
    TYBoxCombo* rede_status_sat = nullptr;
    QLabel* rede_status_sat_ativacao_lbl = nullptr;
    TYEditString* rede_status_sat_ativacao = nullptr;
    TFieldIndicator* rede_status_sat_ativacao_check = nullptr;
    QLabel* rede_status_sat_ativacao_lbl1 = nullptr;

    QRadioButton* rede_dhcp_opt = nullptr;
    QLabel* rede_dhcp_user_lbl = nullptr;
    TYEditString* rede_dhcp_user = nullptr;
    QLabel* rede_dhcp_pass_lbl = nullptr;
    TYEditString* rede_dhcp_pass = nullptr;

    QRadioButton* rede_manual_opt = nullptr;
    OctetRow rede_manual_ip;
    OctetRow rede_manual_masc;
    OctetRow rede_manual_gate;
    OctetRow rede_manual_dns1;
    OctetRow rede_manual_dns2;

    TYBoxCombo* rede_proxy_opt = nullptr;
    OctetRow rede_proxy_ip;
    QLabel* rede_proxy_port_lbl = nullptr;
    TYEditNumeric* rede_proxy_port = nullptr;
    TFieldIndicator* rede_proxy_port_check = nullptr;
    QLabel* rede_proxy_user_lbl = nullptr;
    TYEditString* rede_proxy_user = nullptr;
    TFieldIndicator* rede_proxy_user_check = nullptr;
    QLabel* rede_proxy_pass_lbl = nullptr;
    TYEditString* rede_proxy_pass = nullptr;
    TFieldIndicator* rede_proxy_pass_check = nullptr;

    QPushButton* btn_rede_limpar = nullptr;
    QPushButton* btn_enviar_rede = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildStatusRows(QGridLayout& grid);
    QWidget* BuildAddressColumn();
    QWidget* BuildProxyColumn();
    QWidget* BuildButtons();
    void BuildOctetRow(OctetRow& row, const char* name, const QString& caption, int groupNumber,
                       QGridLayout& grid, int gridRow);
    void BindHandlers();
    void SetTabOrder();

    // The six address rows, by group number minus one.
    std::array<OctetRow*, 6> Groups();
    // The row holding `edit` and the edit's position in it, or nullptr.
    OctetRow* RowOf(const TYEditNumeric* edit, std::size_t& position);
    void SetIndicator(TFieldIndicator* indicator, bool ok);
    static QList<QWidget*> RowControls(const OctetRow& row);
    // Enables or disables `controls`; a focused one about to be disabled
    // first hands the focus to `keeper` (when given and enabled).
    void SetEnabledKeepingFocus(const QList<QWidget*>& controls, bool enabled, QWidget* keeper);
    void ClearRow(OctetRow& row);
    // The page's fields as the network document reads them.
    NetworkFields Fields() const;

    TVexa_Rede vexaRede_;
    // Set while a mode switch enables and disables fields; the exit rules
    // then leave the focus where the switch put it.
    bool switchingMode_ = false;
};
