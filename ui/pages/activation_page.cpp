#include "ui/pages/activation_page.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/Yancomp.h"
#include "dialogs/ansi_text.h"
#include "dialogs/design_fonts.h"
#include "rules/field_validation.h"
#include "rules/state_codes.h"
#include "sat/un_global.h"
#include "ui/field_indicator.h"
#include "ui/pages/field_exits.h"
#include "ui/pages/operation_frame.h"
#include "ui/pages/page_controls.h"
#include "ui/pages/page_host.h"

namespace {

QStringList StateItems() {
    QStringList items;
    for (const std::string& item : StateListItems()) {
        items.append(AnsiToQString(item));
    }
    return items;
}

} // namespace

TActivationPage::TActivationPage(TPageHost& host, QWidget* parent)
    : TPageBase(host,
                {QStringLiteral("AdvPolyPage2"), QStringLiteral("Image1"),
                 QStringLiteral("page_activation"), QStringLiteral("Label4"),
                 QStringLiteral("Ativar SAT")},
                parent) {
    QWidget* body = Body();
    Label12 = PageCaption("Label12", QStringLiteral("CNPJ do Contribuinte:"), body);
    ativar_cnpj = PageCnpjEdit("ativar_cnpj", body);
    ativar_cnpj_check = PageIndicator("ativar_cnpj_check", body);

    Label13 = PageCaption("Label13", QStringLiteral("Código de Ativação:"), body);
    ativar_codigo = PageCodeEdit("ativar_codigo", body);
    ativar_codigo_check = PageIndicator("ativar_codigo_check", body);

    Label14 = PageCaption("Label14", QStringLiteral("Confirmação do Código de Ativação:"), body);
    ativar_codigo_conf = PageCodeEdit("ativar_codigo_conf", body);
    ativar_codigo_conf_check = PageIndicator("ativar_codigo_conf_check", body);

    // Only AC-SAT certificates are activated from here: the list shows the
    // other kinds but cannot be changed.
    Label15 = PageCaption("Label15", QStringLiteral("Certificado Digital:"), body);
    ativar_certificado_dig = PageList("ativar_certificado_dig",
                                      {QStringLiteral("AC-SAT"), QStringLiteral("ICP-BRASIL"),
                                       QStringLiteral("RENOVAÇÃO DO CERTIFICADO")},
                                      body);
    ativar_certificado_dig->setEnabled(false);

    // A fixed-pitch font, so that the abbreviations after the padded names
    // form a column.
    Label16 = PageCaption("Label16", QStringLiteral("UF do Emitente:"), body);
    ativar_certificado_uf = PageList("ativar_certificado_uf", StateItems(), body);
    ativar_certificado_uf->setFont(CourierNewFont(9, false));

    ativar_certificado_icp_lbl = PageCaption(
        "ativar_certificado_icp_lbl",
        QStringLiteral("Cole abaixo seu Certficado ICP/Brasil, e clique em enviar:"), body);
    ativar_certificado_icp = PageMemo("ativar_certificado_icp", body);
    ativar_certificado_icp_check = PageIndicator("ativar_certificado_icp_check", body);
    ativar_certificado_icp_lbl->setVisible(false);
    ativar_certificado_icp->setVisible(false);
    ativar_certificado_icp_check->setVisible(false);
    ativar_certificado_icp_lbl->setEnabled(false);
    ativar_certificado_icp->setEnabled(false);

    btn_sat_ativar = PageGlassButton("btn_sat_ativar", QStringLiteral("Enviar"), body);
    btn_ativar_limpa = PageGlassButton("btn_ativar_limpa", QStringLiteral("Limpar"), body);

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(10);
    fields->setVerticalSpacing(10);
    const auto row = [fields](int at, QLabel* caption, QWidget* field, QWidget* check) {
        fields->addWidget(caption, at, 0);
        fields->addWidget(field, at, 1, Qt::AlignLeft);
        if (check != nullptr) {
            fields->addWidget(check, at, 2);
        }
    };
    row(0, Label12, ativar_cnpj, ativar_cnpj_check);
    row(1, Label13, ativar_codigo, ativar_codigo_check);
    row(2, Label14, ativar_codigo_conf, ativar_codigo_conf_check);
    row(3, Label15, ativar_certificado_dig, nullptr);
    row(4, Label16, ativar_certificado_uf, nullptr);
    fields->addWidget(ativar_certificado_icp_lbl, 5, 0, 1, 3);
    fields->addWidget(ativar_certificado_icp, 6, 0, 1, 2);
    fields->addWidget(ativar_certificado_icp_check, 6, 2, Qt::AlignTop);
    fields->setColumnStretch(3, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btn_ativar_limpa);
    buttons->addWidget(btn_sat_ativar);

    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(6, 10, 6, 4);
    layout->setSpacing(10);
    layout->addLayout(fields);
    layout->addStretch(1);
    layout->addLayout(buttons);

    const QList<QWidget*> order{
        ativar_cnpj,           ativar_codigo,          ativar_codigo_conf, ativar_certificado_dig,
        ativar_certificado_uf, ativar_certificado_icp, btn_sat_ativar,     btn_ativar_limpa};
    for (qsizetype i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }

    for (QWidget* control :
         {static_cast<QWidget*>(ativar_cnpj), static_cast<QWidget*>(ativar_codigo),
          static_cast<QWidget*>(ativar_codigo_conf), static_cast<QWidget*>(ativar_certificado_dig),
          static_cast<QWidget*>(ativar_certificado_uf)}) {
        host.BindAvancar(control);
    }
    host.BindCampoNumero(ativar_cnpj);

    connect(ativar_cnpj, &TYEditNumeric::OnEnter, this, [this] { ativar_cnpjEnter(); });
    connect(ativar_cnpj, &TYEditNumeric::OnExit, this, [this] { ativar_cnpjExit(); });
    connect(ativar_codigo, &TYEditString::OnExit, this, [this] { ativar_codigoExit(); });
    connect(ativar_codigo_conf, &TYEditString::OnExit, this, [this] { ativar_codigo_confExit(); });
    connect(ativar_certificado_dig, &QComboBox::activated, this,
            [this] { ativar_certificado_digClick(); });
    ativar_certificado_icp->installEventFilter(this);
    connect(btn_sat_ativar, &QPushButton::clicked, this, [this] { btn_sat_ativarClick(); });
    connect(btn_ativar_limpa, &QPushButton::clicked, this, [this] { btn_ativar_limpaClick(); });
}

bool TActivationPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ativar_certificado_icp && IsFieldExit(*event)) {
        ativar_certificado_icpExit();
    }
    return TPageBase::eventFilter(watched, event);
}

void TActivationPage::ativar_cnpjEnter() {
    CnpjFieldEnter(*ativar_cnpj);
}

void TActivationPage::ativar_cnpjExit() {
    CnpjFieldExit(host_, *ativar_cnpj, ativar_cnpj_check);
}

void TActivationPage::ativar_codigoExit() {
    CodeFieldExit(host_, *ativar_codigo, ativar_codigo_check);
}

void TActivationPage::ativar_codigo_confExit() {
    ConfirmationFieldExit(host_, *ativar_codigo_conf, *ativar_codigo, ativar_codigo_conf_check);
}

void TActivationPage::ativar_certificado_digClick() {
    // The certificate text only belongs to the ICP-Brasil kinds; it stays
    // hidden either way.
    const bool icp = ativar_certificado_dig->currentIndex() > kAcSat;
    ativar_certificado_icp->setEnabled(icp);
    ativar_certificado_icp_lbl->setEnabled(icp);
}

void TActivationPage::ativar_certificado_icpExit() {
    MemoFieldExit(host_, *ativar_certificado_icp, ativar_certificado_icp_check);
}

void TActivationPage::btn_sat_ativarClick() {
    SatSession& session = host_.Session();
    ActivationFields fields{FieldText(*ativar_cnpj), FieldText(*ativar_codigo),
                            FieldText(*ativar_codigo_conf), ativar_certificado_uf->currentIndex()};
    ActivationParameters activation;
    CodeChangeParameters codeChange;
    const bool valid =
        ValidateActivationFields(fields, activation, codeChange, [this](const std::string& text) {
            return host_.ShowMessageDialog(text);
        });

    // The check leaves the CNPJ as 14 digits and the codes trimmed, and
    // always empties the code-change parameters, whatever its outcome.
    SetFieldText(*ativar_cnpj, fields.ativar_cnpj);
    SetFieldText(*ativar_codigo, fields.ativar_codigo);
    SetFieldText(*ativar_codigo_conf, fields.ativar_codigo_conf);
    session.codigoAtual = codeChange.codigoAtual;
    session.novoCodigo = codeChange.novoCodigo;
    session.confNovoCodigo = codeChange.confNovoCodigo;
    if (!valid) {
        return;
    }
    session.cnpjContribuinte = activation.cnpjContribuinte;
    session.codigoDeAtivacao = activation.codigoDeAtivacao;
    session.cUF = activation.cUF;
    session.subComando = activation.subComando;

    RunInWaitFrame(host_, QStringLiteral("Efetuando ATIVAR Vexa®"),
                   [&session] { session.RunAtivarSAT(); });
}

void TActivationPage::Limpa() {
    ativar_cnpj->clear();
    ativar_codigo->clear();
    ativar_codigo_conf->clear();
    ativar_certificado_dig->setCurrentIndex(kAcSat);
    ativar_certificado_uf->setCurrentIndex(0);
    ativar_certificado_icp->clear();
    ativar_certificado_digClick();
    TPageBase::Limpa();
}
