// The network page's controls: captions, limits, tags, tab order and which
// handler each control is bound to. The handlers themselves are in
// network_page_handlers.cpp.

#include "ui/pages/network_page.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <string>

#include "dialogs/Yancomp.h"
#include "dialogs/design_fonts.h"
#include "ui/field_indicator.h"
#include "ui/pages/page_controls.h"
#include "ui/pages/page_host.h"

namespace {

constexpr int kOctetWidth = 38;
constexpr int kDotWidth = 6;
constexpr int kOctetSpacing = 2;
// As wide as the four octets with the dots between them.
constexpr int kFieldWidth = 4 * kOctetWidth + 3 * kDotWidth + 6 * kOctetSpacing;

// A text edit as wide as the address fields.
TYEditString* TextEdit(const char* objectName, int maxLength, bool password, QWidget* parent) {
    return PageTextEdit(objectName, maxLength, password, kFieldWidth, parent);
}

} // namespace

TNetworkPage::TNetworkPage(TPageHost& host, QWidget* parent)
    : TPageBase(host,
                {QStringLiteral("AdvPolyPage1"), QStringLiteral("meu_01_img"),
                 QStringLiteral("page_network"), QStringLiteral("Label3"),
                 QStringLiteral("Configurar Rede SAT")},
                parent) {
    auto* status = new QGridLayout;
    status->setHorizontalSpacing(10);
    status->setVerticalSpacing(6);
    BuildStatusRows(*status);

    auto* columns = new QHBoxLayout;
    columns->setSpacing(24);
    columns->addWidget(BuildAddressColumn(), 0, Qt::AlignTop);
    columns->addWidget(BuildProxyColumn(), 0, Qt::AlignTop);
    columns->addStretch(1);

    auto* layout = new QVBoxLayout(Body());
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(10);
    layout->addLayout(status);
    layout->addLayout(columns);
    layout->addStretch(1);
    layout->addWidget(BuildButtons());

    BindHandlers();
    SetTabOrder();
}

void TNetworkPage::BuildStatusRows(QGridLayout& grid) {
    Label48 = PageCaption("Label48", QStringLiteral("Status do Vexa®:"), Body());
    rede_status_sat = PageList("rede_status_sat",
                               {QStringLiteral("NÃO ATIVADO"), QStringLiteral("ATIVADO"),
                                QStringLiteral("KIT DE DESENVOLVEDOR")},
                               Body());
    rede_status_sat->setProperty("tag", kTagProxy);

    rede_status_sat_ativacao_lbl = PageCaption(
        "rede_status_sat_ativacao_lbl", QStringLiteral("Código de  Ativação Padrão:"), Body());
    rede_status_sat_ativacao =
        TextEdit("rede_status_sat_ativacao", kActivationCodeMaxLength, false, Body());
    rede_status_sat_ativacao->setFixedWidth(260);
    rede_status_sat_ativacao_check = PageIndicator("rede_status_sat_ativacao_check", Body());

    rede_status_sat_ativacao_lbl1 =
        new QLabel(QStringLiteral("* Para sua comodidade este \"Código de  Ativação\" será padrão "
                                  "\npara as todas as funções."),
                   Body());
    rede_status_sat_ativacao_lbl1->setObjectName(QStringLiteral("rede_status_sat_ativacao_lbl1"));
    rede_status_sat_ativacao_lbl1->setTextFormat(Qt::PlainText);
    rede_status_sat_ativacao_lbl1->setFont(ArialFont(8, true));
    rede_status_sat_ativacao_lbl1->setStyleSheet(
        QStringLiteral("QLabel { color: #d01010; } QLabel:disabled { color: #e0a0a0; }"));

    grid.addWidget(Label48, 0, 0);
    grid.addWidget(rede_status_sat, 0, 1, Qt::AlignLeft);
    grid.addWidget(rede_status_sat_ativacao_lbl, 1, 0);
    grid.addWidget(rede_status_sat_ativacao, 1, 1, Qt::AlignLeft);
    grid.addWidget(rede_status_sat_ativacao_check, 1, 2);
    grid.addWidget(rede_status_sat_ativacao_lbl1, 2, 1, 1, 3);
    grid.setColumnStretch(3, 1);
}

void TNetworkPage::BuildOctetRow(OctetRow& row, const char* name, const QString& caption,
                                 int groupNumber, QGridLayout& grid, int gridRow) {
    const QString base = QString::fromLatin1(name);
    row.caption = PageCaption((std::string(name) + "_lbl").c_str(), caption, Body());

    auto* octets = new QHBoxLayout;
    octets->setSpacing(kOctetSpacing);
    for (std::size_t i = 0; i < row.octets.size(); ++i) {
        const QString edit = base + QStringLiteral("_") + QString::number(i + 1);
        row.octets[i] = PageNumberEdit(edit, kOctetDigits, kOctetWidth, Body());
        octets->addWidget(row.octets[i]);
        if (i < row.dots.size()) {
            row.dots[i] = new QLabel(QStringLiteral("."), Body());
            row.dots[i]->setFont(ArialFont(10, true));
            row.dots[i]->setFixedWidth(kDotWidth);
            row.dots[i]->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
            octets->addWidget(row.dots[i]);
        }
    }
    octets->addStretch(1);
    row.octets.back()->setProperty("tag", groupNumber);
    row.check = PageIndicator((std::string(name) + "_check").c_str(), Body());

    grid.addWidget(row.caption, gridRow, 0);
    grid.addLayout(octets, gridRow, 1, Qt::AlignLeft);
    grid.addWidget(row.check, gridRow, 2);
}

QWidget* TNetworkPage::BuildAddressColumn() {
    auto* column = new QWidget(Body());
    column->setObjectName(QStringLiteral("rede_address_column"));

    rede_dhcp_opt = PageOptionButton("rede_dhcp_opt",
                                     QStringLiteral("Obter endereço IP automaticamente ( DHCP )"),
                                     kTagDhcp, Body());
    rede_dhcp_user_lbl = PageCaption("rede_dhcp_user_lbl", QStringLiteral("Usuário:"), Body());
    rede_dhcp_user = TextEdit("rede_dhcp_user", kCredentialMaxLength, false, Body());
    rede_dhcp_pass_lbl = PageCaption("rede_dhcp_pass_lbl", QStringLiteral("Senha:"), Body());
    rede_dhcp_pass = TextEdit("rede_dhcp_pass", kCredentialMaxLength, true, Body());

    rede_manual_opt = PageOptionButton(
        "rede_manual_opt", QStringLiteral("Utilizar o seguinte endereço IP ( IP FIXO )"),
        kTagManual, Body());

    // One grid for both modes, so that the DHCP fields line up with the
    // address rows.
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(4);
    grid->addWidget(rede_dhcp_opt, 0, 0, 1, 3);
    grid->addWidget(rede_dhcp_user_lbl, 1, 0);
    grid->addWidget(rede_dhcp_user, 1, 1, Qt::AlignLeft);
    grid->addWidget(rede_dhcp_pass_lbl, 2, 0);
    grid->addWidget(rede_dhcp_pass, 2, 1, Qt::AlignLeft);
    grid->setRowMinimumHeight(3, 8);
    grid->addWidget(rede_manual_opt, 4, 0, 1, 3);
    BuildOctetRow(rede_manual_ip, "rede_manual_ip", QStringLiteral("Endereço IP:"), kGroupIp, *grid,
                  5);
    BuildOctetRow(rede_manual_masc, "rede_manual_masc", QStringLiteral("Mascara de sub-rede:"),
                  kGroupMasc, *grid, 6);
    BuildOctetRow(rede_manual_gate, "rede_manual_gate", QStringLiteral("Gateway padrão:"),
                  kGroupGate, *grid, 7);
    BuildOctetRow(rede_manual_dns1, "rede_manual_dns1", QStringLiteral("DNS1:"), kGroupDns1, *grid,
                  8);
    BuildOctetRow(rede_manual_dns2, "rede_manual_dns2", QStringLiteral("DNS2:"), kGroupDns2, *grid,
                  9);

    // Both option buttons end up in this column, so they exclude each other.
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(grid);
    return column;
}

QWidget* TNetworkPage::BuildProxyColumn() {
    auto* column = new QWidget(Body());
    column->setObjectName(QStringLiteral("rede_proxy_column"));

    rede_proxy_opt =
        PageList("rede_proxy_opt",
                 {QStringLiteral("SEM SERVIDOR PROXY"), QStringLiteral("PROXY COM CONFIGURAÇÃO"),
                  QStringLiteral("PROXY TRANSPARENTE")},
                 Body());
    rede_proxy_opt->setProperty("tag", kTagProxy);
    rede_proxy_opt->setFixedWidth(240);
    // No caption beside it on screen: its items say what it is.
    rede_proxy_opt->setAccessibleName(QStringLiteral("Servidor proxy"));

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(4);
    BuildOctetRow(rede_proxy_ip, "rede_proxy_ip", QStringLiteral("IP:"), kGroupProxyIp, *grid, 0);

    rede_proxy_port_lbl = PageCaption("rede_proxy_port_lbl", QStringLiteral("Porta:"), Body());
    rede_proxy_port = PageNumberEdit(QStringLiteral("rede_proxy_port"), kPortDigits,
                                     2 * kOctetWidth + 10, Body());
    rede_proxy_port_check = PageIndicator("rede_proxy_port_check", Body());
    rede_proxy_user_lbl = PageCaption("rede_proxy_user_lbl", QStringLiteral("Usuário:"), Body());
    rede_proxy_user = TextEdit("rede_proxy_user", kCredentialMaxLength, false, Body());
    rede_proxy_user_check = PageIndicator("rede_proxy_user_check", Body());
    rede_proxy_pass_lbl = PageCaption("rede_proxy_pass_lbl", QStringLiteral("Senha:"), Body());
    rede_proxy_pass = TextEdit("rede_proxy_pass", kCredentialMaxLength, true, Body());
    rede_proxy_pass_check = PageIndicator("rede_proxy_pass_check", Body());

    grid->addWidget(rede_proxy_port_lbl, 1, 0);
    grid->addWidget(rede_proxy_port, 1, 1, Qt::AlignLeft);
    grid->addWidget(rede_proxy_port_check, 1, 2);
    grid->addWidget(rede_proxy_user_lbl, 2, 0);
    grid->addWidget(rede_proxy_user, 2, 1, Qt::AlignLeft);
    grid->addWidget(rede_proxy_user_check, 2, 2);
    grid->addWidget(rede_proxy_pass_lbl, 3, 0);
    grid->addWidget(rede_proxy_pass, 3, 1, Qt::AlignLeft);
    grid->addWidget(rede_proxy_pass_check, 3, 2);

    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addWidget(rede_proxy_opt);
    layout->addLayout(grid);
    return column;
}

QWidget* TNetworkPage::BuildButtons() {
    auto* bar = new QWidget(Body());
    bar->setObjectName(QStringLiteral("rede_buttons"));
    btn_rede_limpar = PageGlassButton("btn_rede_limpar", QStringLiteral("Limpar"), Body());
    btn_rede_limpar->setFocusPolicy(Qt::ClickFocus); // not a tab stop
    btn_enviar_rede = PageGlassButton("btn_enviar_rede", QStringLiteral("Enviar"), Body());
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch(1);
    layout->addWidget(btn_rede_limpar);
    layout->addWidget(btn_enviar_rede);
    return bar;
}

std::array<TNetworkPage::OctetRow*, 6> TNetworkPage::Groups() {
    return {&rede_manual_ip,   &rede_manual_masc, &rede_manual_gate,
            &rede_manual_dns1, &rede_manual_dns2, &rede_proxy_ip};
}

TNetworkPage::OctetRow* TNetworkPage::Group(int groupNumber) {
    if (groupNumber < kGroupIp || groupNumber > kGroupProxyIp) {
        return nullptr;
    }
    return Groups()[static_cast<std::size_t>(groupNumber - kGroupIp)];
}

TNetworkPage::OctetRow* TNetworkPage::RowOf(const TYEditNumeric* edit, std::size_t& position) {
    for (OctetRow* row : Groups()) {
        for (std::size_t i = 0; i < row->octets.size(); ++i) {
            if (row->octets[i] == edit) {
                position = i;
                return row;
            }
        }
    }
    return nullptr;
}

void TNetworkPage::BindHandlers() {
    connect(rede_status_sat, &QComboBox::activated, this, [this] { rede_status_satClick(); });
    rede_status_sat->installEventFilter(this);
    connect(rede_status_sat_ativacao, &TYEditString::OnExit, this,
            [this] { rede_status_sat_ativacaoExit(); });

    // Programmatic choices count as clicks too, so the fields always follow
    // the option that is selected.
    connect(rede_dhcp_opt, &QRadioButton::toggled, this, [this](bool on) {
        if (on) {
            HabilitaRedeClick(rede_dhcp_opt);
        }
    });
    connect(rede_manual_opt, &QRadioButton::toggled, this, [this](bool on) {
        if (on) {
            HabilitaRedeClick(rede_manual_opt);
        }
    });
    rede_dhcp_opt->installEventFilter(this);
    rede_manual_opt->installEventFilter(this);
    connect(rede_dhcp_pass, &TYEditString::OnExit, this, [this] { rede_dhcp_passExit(); });

    for (OctetRow* row : Groups()) {
        for (TYEditNumeric* octet : row->octets) {
            connect(octet, &TYEditNumeric::OnEnter, this,
                    [this, octet] { NumericAllEnter(octet); });
            if (octet == rede_manual_dns2.octets.back()) {
                connect(octet, &TYEditNumeric::OnExit, this, [this] { rede_manual_dns2_4Exit(); });
            } else {
                connect(octet, &TYEditNumeric::OnExit, this, [this, octet] { IPMascExit(octet); });
            }
            host_.BindCampoNumero(octet);
            host_.BindAvancar(octet);
        }
    }

    connect(rede_proxy_opt, &QComboBox::activated, this, [this] { rede_proxy_optClick(); });
    connect(rede_proxy_opt, &TYBoxCombo::OnExit, this, [this] { rede_proxy_optExit(); });
    connect(rede_proxy_port, &TYEditNumeric::OnExit, this, [this] { rede_proxy_portExit(); });
    connect(rede_proxy_user, &TYEditString::OnExit, this, [this] { rede_proxy_userExit(); });
    connect(rede_proxy_pass, &TYEditString::OnExit, this, [this] { rede_proxy_passExit(); });
    host_.BindCampoNumero(rede_proxy_port);

    const QList<QWidget*> advancing{rede_status_sat_ativacao, rede_dhcp_opt,   rede_dhcp_user,
                                    rede_dhcp_pass,           rede_manual_opt, rede_proxy_opt,
                                    rede_proxy_port,          rede_proxy_user, rede_proxy_pass};
    for (QWidget* control : advancing) {
        host_.BindAvancar(control);
    }

    connect(btn_enviar_rede, &QPushButton::clicked, this, [this] { btn_enviar_redeClick(); });
    connect(btn_rede_limpar, &QPushButton::clicked, this, [this] { btn_rede_limparClick(); });
}

void TNetworkPage::SetTabOrder() {
    QList<QWidget*> order{rede_status_sat, rede_status_sat_ativacao, rede_dhcp_opt,
                          rede_dhcp_user,  rede_dhcp_pass,           rede_manual_opt};
    for (OctetRow* row : {&rede_manual_ip, &rede_manual_masc, &rede_manual_gate, &rede_manual_dns1,
                          &rede_manual_dns2}) {
        for (TYEditNumeric* octet : row->octets) {
            order.append(octet);
        }
    }
    order.append(rede_proxy_opt);
    for (TYEditNumeric* octet : rede_proxy_ip.octets) {
        order.append(octet);
    }
    order.append({rede_proxy_port, rede_proxy_user, rede_proxy_pass, btn_enviar_rede});
    for (qsizetype i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
}

bool TNetworkPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == rede_status_sat && event->type() == QEvent::KeyPress) {
        return rede_status_satKeyDown(static_cast<QKeyEvent*>(event)->key());
    }
    if (event->type() == QEvent::FocusOut) {
        // Like the edits' exit step: only a move to another control of the
        // window counts, not a popup or another window taking the focus.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        const bool leaves = reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason;
        if (leaves && watched == rede_dhcp_opt) {
            rede_dhcp_optExit();
        } else if (leaves && watched == rede_manual_opt) {
            rede_manual_optExit();
        }
    }
    return TPageBase::eventFilter(watched, event);
}
