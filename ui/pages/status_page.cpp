#include "ui/pages/status_page.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <iterator>
#include <string>

#include "dialogs/Yancomp.h"
#include "dialogs/ansi_text.h"
#include "dialogs/design_fonts.h"
#include "rules/cp1252.h"
#include "rules/date_time_format.h"
#include "rules/field_rules.h"
#include "rules/operating_state_names.h"
#include "rules/text_utils.h"
#include "sat/un_global.h"
#include "ui/pages/network_page.h"
#include "ui/pages/page_controls.h"
#include "ui/pages/page_host.h"
#include "ui/pages/queries_page.h"
#include "ui/result_memo.h"

namespace {

// How a value label shows its status field.
enum class Shown {
    Text,    // the field as the record holds it
    Date,    // through FormataDataHora
    State,   // the operating state's name
    Version, // the SAT library's version, asked afresh
};

struct ValueRow {
    const char* name;
    QLabel* TStatusPage::*label;
    const char* caption; // UTF-8
    const char* example; // the text the label carries until the first reset
    std::string TSatStatusOperacional::*field;
    Shown shown;
};

using Page = TStatusPage;
using Status = TSatStatusOperacional;

const ValueRow kDeviceRows[] = {
    {"NivelBateria_sat", &Page::NivelBateria_sat, "Nível da bateria", "ALTO", &Status::NivelBateria,
     Shown::Text},
    {"Nserie_sat", &Page::Nserie_sat, "Nº de série", "900000000", &Status::NSerie, Shown::Text},
    {"EstadoOperacao_sat", &Page::EstadoOperacao_sat, "Status do Vexa®", "DESBLOQUEADO", nullptr,
     Shown::State},
    {"VersaoSWBasico_sat", &Page::VersaoSWBasico_sat, "Versão do SW Básico", "01.00.00",
     &Status::VerSb, Shown::Text},
    {"VersaoLayout_sat", &Page::VersaoLayout_sat, "Versão Layout CFE", "00.06", &Status::VerLayout,
     Shown::Text},
    {"MemoriaTrabalhoTotal_sat", &Page::MemoriaTrabalhoTotal_sat, "Memória Total", "4 GB",
     &Status::MtTotal, Shown::Text},
    {"MemoriaTrabalhoUsada_sat", &Page::MemoriaTrabalhoUsada_sat, "Memória Usada", "260 MB",
     &Status::MtUsada, Shown::Text},
    {"VersaoDll_sat", &Page::VersaoDll_sat, "Versão DLL Vexa®", "01.00.00", nullptr,
     Shown::Version},
};

const ValueRow kNetworkRows[] = {
    {"TipoLan_sat", &Page::TipoLan_sat, "Tipo de Rede", "DHCP", &Status::TipoLan, Shown::Text},
    {"MAC_sat", &Page::MAC_sat, "MAC Address", "00:00:00:00:00:00", &Status::LanMac, Shown::Text},
    {"IP_sat", &Page::IP_sat, "IP", "192.168.000.010", &Status::LanIp, Shown::Text},
    {"MascaraRede_sat", &Page::MascaraRede_sat, "Mascara", "255.255.255.000", &Status::LanMask,
     Shown::Text},
    {"Gateway_sat", &Page::Gateway_sat, "Gateway", "192.168.000.001", &Status::LanGw, Shown::Text},
    {"DNS1_sat", &Page::DNS1_sat, "DNS1", "008.008.008.008", &Status::LanDns1, Shown::Text},
    {"DNS2_sat", &Page::DNS2_sat, "DNS2", "008.008.004.004", &Status::LanDns2, Shown::Text},
    {"StatusRede_sat", &Page::StatusRede_sat, "Status WAN", "CONECTADO", &Status::StatusLan,
     Shown::Text},
};

const ValueRow kDateRows[] = {
    {"NUMEROSESSAO_sat", &Page::NUMEROSESSAO_sat, "Nº da Sessão Atual", "000001",
     &Status::NumeroSessao, Shown::Text},
    {"DataHoraAtual_sat", &Page::DataHoraAtual_sat, "Data/Hora do Vexa®", "10/11/2015 08:47:52",
     &Status::DhAtual, Shown::Date},
    {"DataHoraUltimaTransmissao_sat", &Page::DataHoraUltimaTransmissao_sat,
     "Data/Hora do Vexa® Última Transferência", "10/11/2015 08:47:52", &Status::DhCfe, Shown::Date},
    {"DataHoraUltimaComunicacao_sat", &Page::DataHoraUltimaComunicacao_sat,
     "Data/Hora da Ultima Comunicação Vexa®", "10/11/2015 08:47:52", &Status::DhUltima,
     Shown::Date},
    {"NumeroUltimoCFeEmitido_sat", &Page::NumeroUltimoCFeEmitido_sat, "Último CFE Emitido",
     "00000000000000000000000000000000000000000000", &Status::UltimoCfe, Shown::Text},
    {"NumeroPrimeiroCFeMT_sat", &Page::NumeroPrimeiroCFeMT_sat,
     "Primeiro CFE na Memória de Trabalho", "00000000000000000000000000000000000000000000",
     &Status::ListaInicial, Shown::Text},
    {"NumeroUltimoCFeMT_", &Page::NumeroUltimoCFeMT_, "Último CFE na Memória de Trabalho",
     "00000000000000000000000000000000000000000000", &Status::ListaFinal, Shown::Text},
    {"DataEmissaoCertificado_sat", &Page::DataEmissaoCertificado_sat,
     "Data de Emissão do Certificado", "02/11/2015", &Status::CertEmissao, Shown::Date},
    {"DataVencimentoCertificado_sat", &Page::DataVencimentoCertificado_sat,
     "Vencimento do Certificado", "02/11/2020", &Status::CertVencimento, Shown::Date},
};

template <typename Visit> void ForEachRow(Visit visit) {
    for (const ValueRow& row : kDeviceRows) {
        visit(row);
    }
    for (const ValueRow& row : kNetworkRows) {
        visit(row);
    }
    for (const ValueRow& row : kDateRows) {
        visit(row);
    }
}

static_assert(std::size(kDeviceRows) + std::size(kNetworkRows) + std::size(kDateRows) ==
              TStatusPage::kValueLabelCount);

} // namespace

TStatusPage::TStatusPage(TPageHost& host, QWidget* parent)
    : TPageBase(host,
                {QStringLiteral("AdvPolyPage7"), QStringLiteral("Image5"),
                 QStringLiteral("page_status"), QStringLiteral("Label49"),
                 QStringLiteral("Resumo do Vexa®")},
                parent) {
    QWidget* body = Body();

    // One framed panel per group: caption labels on the left, values on the
    // right.
    const auto group = [this, body](const auto& rows, const char* groupName) {
        auto* panel = new QFrame(body);
        panel->setObjectName(QString::fromLatin1(groupName));
        panel->setFrameShape(QFrame::StyledPanel);
        auto* grid = new QGridLayout(panel);
        grid->setHorizontalSpacing(12);
        grid->setVerticalSpacing(6);
        int line = 0;
        for (const ValueRow& row : rows) {
            const QString name = QString::fromLatin1(row.name);
            QLabel* caption = PageCaption("", QString::fromUtf8(row.caption), panel);
            caption->setObjectName(name + QStringLiteral("_lbl"));
            // Device texts are shown as they come, never read as markup.
            auto* value = new QLabel(QString::fromUtf8(row.example), panel);
            value->setObjectName(name);
            value->setTextFormat(Qt::PlainText);
            value->setTextInteractionFlags(Qt::TextSelectableByMouse);
            value->setFont(ArialFont(9, false));
            // A text longer than the column (the library's version) goes on
            // in a second row rather than being cut.
            value->setWordWrap(true);
            // The panels are laid out by their captions alone: values that
            // arrive or go must not widen a panel and move the battery
            // picture.
            value->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            this->*row.label = value;
            grid->addWidget(caption, line, 0, Qt::AlignVCenter);
            // Below the first row a value may run on under the battery
            // picture's column.
            grid->addWidget(value, line, 1, 1, line == 0 ? 1 : 2, Qt::AlignVCenter);
            ++line;
        }
        grid->setColumnStretch(1, 1);
        // Rows keep their height when the panel beside is taller.
        grid->setRowStretch(line, 1);
        return std::pair{panel, grid};
    };

    auto [device, deviceGrid] = group(kDeviceRows, "resumo_dispositivo");
    bat_0 = new QLabel(device);
    bat_0->setObjectName(QStringLiteral("bat_0"));
    bat_0->setFixedSize(kBatterySize);
    deviceGrid->addWidget(bat_0, 0, 2);
    ShowBattery(host.BatteryPicture(3));
    auto [network, networkGrid] = group(kNetworkRows, "resumo_rede");
    auto [dates, datesGrid] = group(kDateRows, "resumo_datas");
    (void)networkGrid;
    (void)datesGrid;

    AdvGlassButton17 = PageGlassButton("AdvGlassButton17", QStringLiteral("Atualizar"), body);
    AdvGlassButton17->setFocusPolicy(Qt::NoFocus); // not a tab stop
    connect(AdvGlassButton17, &QPushButton::clicked, this, &TStatusPage::AdvGlassButton17Click);

    auto* top = new QHBoxLayout;
    top->setSpacing(10);
    top->addWidget(device, 1);
    top->addWidget(network, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(AdvGlassButton17);

    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(10);
    layout->addLayout(top);
    layout->addWidget(dates);
    layout->addStretch(1);
    layout->addLayout(buttons);
}

QList<QLabel*> TStatusPage::ValueLabels() const {
    QList<QLabel*> labels;
    ForEachRow([&](const ValueRow& row) { labels.append(this->*row.label); });
    return labels;
}

void TStatusPage::ShowBattery(const QLabel* picture) {
    bat_0->setPixmap(picture != nullptr ? picture->pixmap() : QPixmap());
}

void TStatusPage::Limpa() {
    TPageBase::Limpa();
    LimpaResumo();
}

void TStatusPage::LimpaResumo() {
    for (QLabel* label : ValueLabels()) {
        label->clear();
    }
    ShowBattery(host_.BatteryPicture(1));
}

void TStatusPage::MostraResumo(const TSatStatusOperacional& status) {
    ForEachRow([&](const ValueRow& row) {
        QLabel* label = this->*row.label;
        switch (row.shown) {
        case Shown::Text:
            label->setText(AnsiToQString(status.*row.field));
            break;
        case Shown::Date:
            // A date the device has not got (no transmission yet) shows
            // empty, not as the bare separators "//".
            label->setText(IsBlank(status.*row.field)
                               ? QString()
                               : AnsiToQString(FormataDataHora(status.*row.field)));
            break;
        case Shown::State:
            label->setText(AnsiToQString(EstadoOperacaoName(status.EstadoOperacao)));
            break;
        case Shown::Version:
            label->setText(AnsiToQString(host_.Session().RunVersaoDLL()));
            break;
        }
    });
    // Letter case counts: "alto" is not a known level and shows as low.
    const std::string level = TrimBlanks(status.NivelBateria);
    if (level == "ALTO") {
        ShowBattery(host_.BatteryPicture(3));
    } else if (level == "MEDIO") {
        ShowBattery(host_.BatteryPicture(2));
    } else {
        ShowBattery(host_.BatteryPicture(1));
    }
}

void TStatusPage::AdvGlassButton17Click() {
    // Unlike ConfereCodigoPadrao, the length rule applies whatever the device
    // status says: a device that is not activated has no status to show.
    TYEditString* field = host_.NetworkPage().rede_status_sat_ativacao;
    const std::string code = TrimBlanks(QStringToAnsi(field->text()));
    field->setText(AnsiToQString(code));
    if (!IsAcceptableActivationCode(code)) {
        host_.ShowMessageDialog(Utf8ToCp1252("Código de Ativação Padrão inválido !"));
        return;
    }
    SatSession& session = host_.Session();
    session.codigoDeAtivacao = code;
    host_.MostraAguarde(QStringLiteral("Solicitando resumo do Vexa ®"));
    host_.QueriesPage().memo_retorno->clear();
    LimpaResumo();
    if (session.RunConsultarStatusOperacional()) {
        MostraResumo(session.StatusOperacional);
    }
    host_.FechaAguarde();
}
