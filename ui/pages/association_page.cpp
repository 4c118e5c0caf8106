#include "ui/pages/association_page.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/Yancomp.h"
#include "rules/field_validation.h"
#include "sat/un_global.h"
#include "ui/field_indicator.h"
#include "ui/pages/field_exits.h"
#include "ui/pages/network_page.h"
#include "ui/pages/operation_frame.h"
#include "ui/pages/page_controls.h"
#include "ui/pages/page_host.h"

TAssociationPage::TAssociationPage(TPageHost& host, QWidget* parent)
    : TPageBase(host,
                {QStringLiteral("AdvPolyPage3"), QStringLiteral("Image2"),
                 QStringLiteral("page_association"), QStringLiteral("Label5"),
                 QStringLiteral("Associar Assinatura SAT")},
                parent) {
    QWidget* body = Body();
    Label17 = PageCaption("Label17", QStringLiteral("CNPJ do Contribuinte:"), body);
    associar_cnpj = PageCnpjEdit("associar_cnpj", body);
    associar_cnpj_check = PageIndicator("associar_cnpj_check", body);
    Label18 = PageCaption("Label18", QStringLiteral("CNPJ da Software House:"), body);
    associar_sh = PageCnpjEdit("associar_sh", body);
    associar_sh_check = PageIndicator("associar_sh_check", body);
    Label19 = PageCaption("Label19", QStringLiteral("Cole abaixo sua Assinatura AC:"), body);
    associar_assinatura = PageMemo("associar_assinatura", body);
    associar_assinatura_check = PageIndicator("associar_assinatura_check", body);
    btn_assinatura = PageGlassButton("btn_assinatura", QStringLiteral("Enviar"), body);
    btn_associa = PageGlassButton("btn_associa", QStringLiteral("Limpar"), body);

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(10);
    fields->setVerticalSpacing(10);
    fields->addWidget(Label17, 0, 0);
    fields->addWidget(associar_cnpj, 0, 1, Qt::AlignLeft);
    fields->addWidget(associar_cnpj_check, 0, 2);
    fields->addWidget(Label18, 1, 0);
    fields->addWidget(associar_sh, 1, 1, Qt::AlignLeft);
    fields->addWidget(associar_sh_check, 1, 2);
    fields->addWidget(Label19, 2, 0, 1, 3);
    fields->addWidget(associar_assinatura, 3, 0, 1, 4);
    fields->addWidget(associar_assinatura_check, 3, 4, Qt::AlignTop);
    fields->setColumnStretch(3, 1);
    fields->setRowStretch(3, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btn_associa);
    buttons->addWidget(btn_assinatura);

    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(6, 10, 6, 4);
    layout->setSpacing(10);
    layout->addLayout(fields, 1);
    layout->addLayout(buttons);

    QWidget::setTabOrder(associar_cnpj, associar_sh);
    QWidget::setTabOrder(associar_sh, associar_assinatura);
    QWidget::setTabOrder(associar_assinatura, btn_assinatura);
    QWidget::setTabOrder(btn_assinatura, btn_associa);

    for (TYEditNumeric* edit : {associar_cnpj, associar_sh}) {
        host.BindAvancar(edit);
        host.BindCampoNumero(edit);
    }
    connect(associar_cnpj, &TYEditNumeric::OnEnter, this, [this] { associar_cnpjEnter(); });
    connect(associar_cnpj, &TYEditNumeric::OnExit, this, [this] { associar_cnpjExit(); });
    connect(associar_sh, &TYEditNumeric::OnEnter, this, [this] { associar_shEnter(); });
    connect(associar_sh, &TYEditNumeric::OnExit, this, [this] { associar_shExit(); });
    associar_assinatura->installEventFilter(this);
    connect(btn_assinatura, &QPushButton::clicked, this, [this] { btn_assinaturaClick(); });
    connect(btn_associa, &QPushButton::clicked, this, [this] { btn_associaClick(); });
}

bool TAssociationPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == associar_assinatura && IsFieldExit(*event)) {
        associar_assinaturaExit();
    }
    return TPageBase::eventFilter(watched, event);
}

void TAssociationPage::associar_cnpjEnter() {
    CnpjFieldEnter(*associar_cnpj);
}

void TAssociationPage::associar_cnpjExit() {
    CnpjFieldExit(host_, *associar_cnpj, associar_cnpj_check);
}

void TAssociationPage::associar_shEnter() {
    CnpjFieldEnter(*associar_sh);
}

void TAssociationPage::associar_shExit() {
    CnpjFieldExit(host_, *associar_sh, associar_sh_check);
}

void TAssociationPage::associar_assinaturaExit() {
    MemoFieldExit(host_, *associar_assinatura, associar_assinatura_check);
}

void TAssociationPage::btn_assinaturaClick() {
    // A refused default code stops the send before this page's fields are
    // read or rewritten.
    if (!host_.ConfereCodigoPadrao()) {
        return;
    }
    const std::string code = FieldText(*host_.NetworkPage().rede_status_sat_ativacao);

    SatSession& session = host_.Session();
    SignatureFields fields{FieldText(*associar_cnpj), FieldText(*associar_sh),
                           MemoLines(*associar_assinatura)};
    SignatureParameters signature;
    const bool valid = ValidateSignatureFields(fields, signature, [this](const std::string& text) {
        return host_.ShowMessageDialog(text);
    });
    SetFieldText(*associar_cnpj, fields.associar_cnpj);
    SetFieldText(*associar_sh, fields.associar_sh);
    if (!valid) {
        return;
    }
    session.assinaturaCNPJs = signature.assinaturaCNPJs;
    session.CNPJvalue = signature.CNPJvalue;
    session.codigoDeAtivacao = code;

    RunInWaitFrame(host_, QStringLiteral("Efetuando Associação de Assinatura Vexa®"),
                   [&session] { session.RunAssociarAssinatura(); });
}

void TAssociationPage::Limpa() {
    associar_cnpj->clear();
    associar_sh->clear();
    associar_assinatura->clear();
    TPageBase::Limpa();
}
