#pragma once
// Page 6, operational status: a read-only summary of the device. Its one
// button asks for the operational status and, when the device answers with
// success, shows every field of the answer in labels grouped as device,
// network and dates/documents, with a battery picture and the version of the
// SAT library.

#include "ui/pages/page_base.h"

class QLabel;
class QPushButton;
struct TSatStatusOperacional;

class TStatusPage : public TPageBase {
    Q_OBJECT

public:
    static constexpr int kValueLabelCount = 25;
    static constexpr QSize kBatterySize{48, 24};

    explicit TStatusPage(TPageHost& host, QWidget* parent = nullptr);

    // The refresh: asks the device for its status and shows it.
    void AdvGlassButton17Click();
    // Empties every value label and shows the low-battery picture.
    void LimpaResumo();
    // Fills every value label from `status`, and the library version afresh.
    void MostraResumo(const TSatStatusOperacional& status);

    // The page reset of the window: LimpaResumo.
    void Limpa() override;

    // Device.
    QLabel* NivelBateria_sat = nullptr;
    QLabel* bat_0 = nullptr;
    QLabel* Nserie_sat = nullptr;
    QLabel* EstadoOperacao_sat = nullptr;
    QLabel* VersaoSWBasico_sat = nullptr;
    QLabel* VersaoLayout_sat = nullptr;
    QLabel* MemoriaTrabalhoTotal_sat = nullptr;
    QLabel* MemoriaTrabalhoUsada_sat = nullptr;
    QLabel* VersaoDll_sat = nullptr;
    // Network.
    QLabel* TipoLan_sat = nullptr;
    QLabel* MAC_sat = nullptr;
    QLabel* IP_sat = nullptr;
    QLabel* MascaraRede_sat = nullptr;
    QLabel* Gateway_sat = nullptr;
    QLabel* DNS1_sat = nullptr;
    QLabel* DNS2_sat = nullptr;
    QLabel* StatusRede_sat = nullptr;
    // Dates and documents.
    QLabel* NUMEROSESSAO_sat = nullptr;
    QLabel* DataHoraAtual_sat = nullptr;
    QLabel* DataHoraUltimaTransmissao_sat = nullptr;
    QLabel* DataHoraUltimaComunicacao_sat = nullptr;
    QLabel* NumeroUltimoCFeEmitido_sat = nullptr;
    QLabel* NumeroPrimeiroCFeMT_sat = nullptr;
    QLabel* NumeroUltimoCFeMT_ = nullptr;
    QLabel* DataEmissaoCertificado_sat = nullptr;
    QLabel* DataVencimentoCertificado_sat = nullptr;

    QPushButton* AdvGlassButton17 = nullptr;

private:
    // Gives bat_0 the picture of one of the window's hidden battery pictures.
    void ShowBattery(const QLabel* picture);
    QList<QLabel*> ValueLabels() const;
};
