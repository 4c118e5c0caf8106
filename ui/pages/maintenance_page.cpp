#include "ui/pages/maintenance_page.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/Yancomp.h"
#include "dialogs/ansi_text.h"
#include "dialogs/design_fonts.h"
#include "rules/field_validation.h"
#include "rules/text_utils.h"
#include "sat/response_fields.h"
#include "sat/un_global.h"
#include "ui/field_indicator.h"
#include "ui/pages/field_exits.h"
#include "ui/pages/network_page.h"
#include "ui/pages/operation_frame.h"
#include "ui/pages/page_controls.h"
#include "ui/pages/page_host.h"
#include "ui/result_memo.h"

namespace {

QLabel* GroupLabel(const char* objectName, const QString& text, QWidget* parent) {
    QLabel* label = PageCaption(objectName, text, parent);
    label->setFont(ArialFont(10, true));
    return label;
}

} // namespace

TMaintenancePage::TMaintenancePage(TPageHost& host, QWidget* parent)
    : TPageBase(host,
                {QStringLiteral("AdvPolyPage6"), QStringLiteral("Image8"),
                 QStringLiteral("page_maintenance"), QStringLiteral("Label36"),
                 QStringLiteral("Código de Ativação, Atualizações e Gerais")},
                parent) {
    QWidget* body = Body();
    Label78 = PageCaption("Label78", QStringLiteral("Retorno:"), body);
    memo_retorno_1 = PageResultMemo("memo_retorno_1", body);
    memo_retorno_1->SetMessageFunction(
        [&host](const std::string& text) { host.ShowMessageDialog(text); });

    // The page is too narrow for the two groups side by side: the device
    // group stands above the code change.
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(8);
    layout->addWidget(BuildDeviceGroup());
    layout->addSpacing(10);
    layout->addWidget(BuildCodeChangeGroup());
    layout->addWidget(Label78);
    layout->addWidget(memo_retorno_1, 1);

    BindHandlers();
}

QWidget* TMaintenancePage::BuildDeviceGroup() {
    auto* group = new QWidget(Body());
    group->setObjectName(QStringLiteral("manutencao_device_group"));
    Label39 = GroupLabel("Label39", QStringLiteral("Equipamento SAT"), group);
    Label74 = PageNote(
        "Label74",
        QStringLiteral("Esta função não deve ser enviada para a tentativa de desbloqueio autônomo "
                       "do Vexa®.\n"
                       "O bloqueio autônomo somente é recuperado quando a causa do problema  é "
                       "solucionada.\n"
                       "Exemplo:\n"
                       "\"Comunicação com a SEFAZ OK\""),
        group);
    AdvGlassButton11 = PageGlassButton("AdvGlassButton11", QStringLiteral("Bloquear"), group);
    AdvGlassButton10 = PageGlassButton("AdvGlassButton10", QStringLiteral("Desbloquear"), group);
    Label43 = GroupLabel("Label43", QStringLiteral("Atualização de Firmware do Sat"), group);
    AdvGlassButton14 = PageGlassButton("AdvGlassButton14", QStringLiteral("Atualizar"), group);

    // Block and unblock under the note; the software update beside them.
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(10);
    buttons->addWidget(AdvGlassButton11);
    buttons->addWidget(AdvGlassButton10);
    buttons->addSpacing(30);
    buttons->addWidget(Label43);
    buttons->addWidget(AdvGlassButton14);
    buttons->addStretch(1);

    auto* layout = new QVBoxLayout(group);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addWidget(Label39);
    layout->addWidget(Label74);
    layout->addLayout(buttons);
    return group;
}

QWidget* TMaintenancePage::BuildCodeChangeGroup() {
    auto* group = new QWidget(Body());
    group->setObjectName(QStringLiteral("manutencao_code_group"));
    Label51 = GroupLabel("Label51", QStringLiteral("Trocar Código de Ativação"), group);
    Label47 = PageCaption("Label47", QStringLiteral("Código de Ativação:"), group);
    manutencao_cod_ativacao = PageCodeEdit("manutencao_cod_ativacao", group);
    manutencao_cod_ativacao_check = PageIndicator("manutencao_cod_ativacao_check", group);
    Label45 = PageCaption("Label45", QStringLiteral("Novo Código de Ativação:"), group);
    manutencao_cod_ativacao_novo = PageCodeEdit("manutencao_cod_ativacao_novo", group);
    manutencao_cod_ativacao_novo_check = PageIndicator("manutencao_cod_ativacao_novo_check", group);
    Label46 =
        PageCaption("Label46", QStringLiteral("Confirmação do Novo Código de Ativação:"), group);
    manutencao_cod_ativacao_novo_conf = PageCodeEdit("manutencao_cod_ativacao_novo_conf", group);
    manutencao_cod_ativacao_novo_conf_check =
        PageIndicator("manutencao_cod_ativacao_novo_conf_check", group);
    Label44 = PageCaption("Label44", QStringLiteral("Selecione tipo do Código:"), group);
    manutencao_tipo = PageList(
        "manutencao_tipo",
        {QStringLiteral("CÓDIGO DE ATIVAÇÃO "), QStringLiteral("CÓDIGO DE ATIVAÇÃO DE EMERGÊNCIA")},
        group);
    manutencao_tipo->setProperty("tag", TNetworkPage::kTagProxy);
    AdvGlassButton2 = PageGlassButton("AdvGlassButton2", QStringLiteral("Limpar"), group);
    AdvGlassButton2->setFocusPolicy(Qt::ClickFocus); // not a tab stop
    AdvGlassButton15 = PageGlassButton("AdvGlassButton15", QStringLiteral("Enviar"), group);

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(10);
    fields->setVerticalSpacing(8);
    const auto row = [fields](int at, QLabel* caption, QWidget* field, QWidget* check) {
        fields->addWidget(caption, at, 0);
        fields->addWidget(field, at, 1, Qt::AlignLeft);
        if (check != nullptr) {
            fields->addWidget(check, at, 2);
        }
    };
    row(0, Label47, manutencao_cod_ativacao, manutencao_cod_ativacao_check);
    row(1, Label45, manutencao_cod_ativacao_novo, manutencao_cod_ativacao_novo_check);
    row(2, Label46, manutencao_cod_ativacao_novo_conf, manutencao_cod_ativacao_novo_conf_check);
    row(3, Label44, manutencao_tipo, nullptr);
    fields->setColumnStretch(3, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(AdvGlassButton2);
    buttons->addWidget(AdvGlassButton15);

    auto* layout = new QVBoxLayout(group);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addWidget(Label51);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    return group;
}

void TMaintenancePage::BindHandlers() {
    connect(AdvGlassButton11, &QPushButton::clicked, this, [this] { AdvGlassButton11Click(); });
    connect(AdvGlassButton10, &QPushButton::clicked, this, [this] { AdvGlassButton10Click(); });
    connect(AdvGlassButton14, &QPushButton::clicked, this, [this] { AdvGlassButton14Click(); });
    connect(AdvGlassButton15, &QPushButton::clicked, this, [this] { AdvGlassButton15Click(); });
    connect(AdvGlassButton2, &QPushButton::clicked, this, [this] { AdvGlassButton2Click(); });
    connect(manutencao_cod_ativacao, &TYEditString::OnExit, this,
            [this] { manutencao_cod_ativacaoExit(); });
    connect(manutencao_cod_ativacao_novo, &TYEditString::OnExit, this,
            [this] { manutencao_cod_ativacao_novoExit(); });
    connect(manutencao_cod_ativacao_novo_conf, &TYEditString::OnExit, this,
            [this] { manutencao_cod_ativacao_novo_confExit(); });
    // The kind list shares the network page's enabling handler, which under
    // this list's tag re-applies the proxy enabling rule and changes nothing
    // here.
    connect(manutencao_tipo, &QComboBox::activated, this,
            [this] { host_.NetworkPage().HabilitaRedeClick(manutencao_tipo); });

    // Tab goes down the page: the device buttons, the code change, the
    // result memo. Enter moves on from the code change's fields too.
    const QList<QWidget*> codeFields{manutencao_cod_ativacao, manutencao_cod_ativacao_novo,
                                     manutencao_cod_ativacao_novo_conf, manutencao_tipo};
    const QList<QWidget*> order =
        QList<QWidget*>{AdvGlassButton11, AdvGlassButton10, AdvGlassButton14} + codeFields +
        QList<QWidget*>{AdvGlassButton15, memo_retorno_1};
    for (qsizetype i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
    for (QWidget* field : codeFields) {
        host_.BindAvancar(field);
    }
}

void TMaintenancePage::manutencao_cod_ativacaoExit() {
    CodeFieldExit(host_, *manutencao_cod_ativacao, manutencao_cod_ativacao_check);
}

void TMaintenancePage::manutencao_cod_ativacao_novoExit() {
    CodeFieldExit(host_, *manutencao_cod_ativacao_novo, manutencao_cod_ativacao_novo_check);
}

void TMaintenancePage::manutencao_cod_ativacao_novo_confExit() {
    ConfirmationFieldExit(host_, *manutencao_cod_ativacao_novo_conf, *manutencao_cod_ativacao_novo,
                          manutencao_cod_ativacao_novo_conf_check);
}

void TMaintenancePage::AppendResult(const std::string& cp1252Text) {
    memo_retorno_1->AppendText(cp1252Text);
}

void TMaintenancePage::RunDeviceCommand(const QString& waitMessage,
                                        bool (SatSession::*operation)()) {
    if (!host_.ConfereCodigoPadrao()) {
        return;
    }
    SatSession& session = host_.Session();
    session.codigoDeAtivacao = FieldText(*host_.NetworkPage().rede_status_sat_ativacao);
    memo_retorno_1->clear();
    std::string result;
    RunInWaitFrame(
        host_, waitMessage,
        [&] {
            (session.*operation)();
            result = session.LastResponse;
        },
        [&] { AppendResult(NormalizaRetorno(result)); });
}

void TMaintenancePage::AdvGlassButton11Click() {
    RunDeviceCommand(QStringLiteral("Efetuando BLOQUEIO do Vexa®"), &SatSession::RunBloquearSAT);
}

void TMaintenancePage::AdvGlassButton10Click() {
    RunDeviceCommand(QStringLiteral("Efetuando DESBLOQUEIO do Vexa®"),
                     &SatSession::RunDesbloquearSAT);
}

void TMaintenancePage::AdvGlassButton14Click() {
    RunDeviceCommand(QStringLiteral("Efetuando ATUALIZAR SOFTWARE Vexa®"),
                     &SatSession::RunAtualizarSoftwareSAT);
}

void TMaintenancePage::AdvGlassButton15Click() {
    if (!host_.ConfereCodigoPadrao()) {
        return;
    }
    SatSession& session = host_.Session();
    session.codigoDeAtivacao = FieldText(*host_.NetworkPage().rede_status_sat_ativacao);

    CodeChangeFields fields{FieldText(*manutencao_cod_ativacao),
                            FieldText(*manutencao_cod_ativacao_novo),
                            FieldText(*manutencao_cod_ativacao_novo_conf)};
    CodeChangeParameters codeChange;
    const bool valid =
        ValidateCodeChangeFields(fields, codeChange, [this](const std::string& text) {
            return host_.ShowMessageDialog(text);
        });
    SetFieldText(*manutencao_cod_ativacao, fields.manutencao_cod_ativacao);
    SetFieldText(*manutencao_cod_ativacao_novo, fields.manutencao_cod_ativacao_novo);
    SetFieldText(*manutencao_cod_ativacao_novo_conf, fields.manutencao_cod_ativacao_novo_conf);
    // Emptied by the check whatever its outcome.
    session.codigoAtual = codeChange.codigoAtual;
    session.novoCodigo = codeChange.novoCodigo;
    session.confNovoCodigo = codeChange.confNovoCodigo;
    if (!valid) {
        return;
    }

    const int kind = manutencao_tipo->currentIndex();
    std::string result;
    bool changed = false;
    memo_retorno_1->clear();
    RunInWaitFrame(
        host_, QStringLiteral("Efetuando TROCA DO CODIGO DE ATIVAÇÃO Vexa®"),
        [&] {
            changed = session.RunTrocarCodigoDeAtivacao(kind);
            result = session.LastResponse;
        },
        [&] { AppendResult(result); });
    if (changed && kind == kCodigoDeAtivacao) {
        AdoptNewDefaultCode(codeChange);
    }
}

void TMaintenancePage::AdoptNewDefaultCode(const CodeChangeParameters& codeChange) {
    // Every later operation sends the network page's default code: left at
    // the code just replaced, each would be refused, and ten refusals in a
    // row lock the device's sales.
    TYEditString* defaultCode = host_.NetworkPage().rede_status_sat_ativacao;
    if (TrimBlanks(FieldText(*defaultCode)) == codeChange.codigoAtual) {
        SetFieldText(*defaultCode, codeChange.novoCodigo);
    }
}

void TMaintenancePage::Limpa() {
    manutencao_cod_ativacao->clear();
    manutencao_cod_ativacao_novo->clear();
    manutencao_cod_ativacao_novo_conf->clear();
    manutencao_tipo->setCurrentIndex(kCodigoDeAtivacao);
    TPageBase::Limpa();
}
