#include "ui/pages/network_page.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "dialogs/Yancomp.h"
#include "dialogs/design_fonts.h"
#include "ui/field_indicator.h"
#include "ui/main_window.h"

namespace {

QLabel* Caption(const char* objectName, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setTextFormat(Qt::PlainText);
    label->setFont(ArialFont(9, true));
    label->setStyleSheet(QStringLiteral("color: #143f94;"));
    return label;
}

} // namespace

TNetworkPage::TNetworkPage(TFprincipal& window, QWidget* parent)
    : TPageBase(window,
                {QStringLiteral("AdvPolyPage1"), QStringLiteral("meu_01_img"),
                 QStringLiteral("page_network"), QStringLiteral("Label3"),
                 QStringLiteral("Configurar Rede SAT")},
                parent) {
    Label48 = Caption("Label48", QStringLiteral("Status do Vexa®:"), Body());
    rede_status_sat = new TYBoxCombo(Body());
    rede_status_sat->setObjectName(QStringLiteral("rede_status_sat"));
    rede_status_sat->addItems({QStringLiteral("NÃO ATIVADO"), QStringLiteral("ATIVADO"),
                               QStringLiteral("KIT DE DESENVOLVEDOR")});
    rede_status_sat->setProperty("tag", 2);
    rede_status_sat->setMinimumWidth(260);

    rede_status_sat_ativacao_lbl = Caption("rede_status_sat_ativacao_lbl",
                                           QStringLiteral("Código de  Ativação Padrão:"), Body());
    rede_status_sat_ativacao = new TYEditString(Body());
    rede_status_sat_ativacao->setObjectName(QStringLiteral("rede_status_sat_ativacao"));
    rede_status_sat_ativacao->setMaxLength(kActivationCodeMaxLength);
    rede_status_sat_ativacao->setMinimumWidth(260);
    rede_status_sat_ativacao_check = new TFieldIndicator(Body());
    rede_status_sat_ativacao_check->setObjectName(QStringLiteral("rede_status_sat_ativacao_check"));
    window.BindAvancar(rede_status_sat_ativacao);

    fields_ = new QGridLayout;
    fields_->setHorizontalSpacing(10);
    fields_->setVerticalSpacing(8);
    fields_->addWidget(Label48, 0, 0);
    fields_->addWidget(rede_status_sat, 0, 1, Qt::AlignLeft);
    fields_->addWidget(rede_status_sat_ativacao_lbl, 1, 0);
    fields_->addWidget(rede_status_sat_ativacao, 1, 1, Qt::AlignLeft);
    fields_->addWidget(rede_status_sat_ativacao_check, 1, 2);
    fields_->setColumnStretch(3, 1);

    auto* layout = new QVBoxLayout(Body());
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(fields_);
    layout->addStretch(1);
}

int TNetworkPage::DeviceStatus() const {
    return rede_status_sat->currentIndex();
}

void TNetworkPage::Limpa() {
    rede_status_sat->setCurrentIndex(kNaoAtivado);
    window_.ShowNotActivatedListEntries();
    rede_status_sat_ativacao->clear();
    TPageBase::Limpa();
}
