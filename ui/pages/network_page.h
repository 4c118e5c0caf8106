#pragma once
// Page 0, network: the device-status selector and the default activation
// code that every other page depends on, and the device's network settings
// sent with ConfigurarInterfaceDeRede.

#include "ui/pages/page_base.h"

#include <string>

class QGridLayout;
class QLabel;
class TFieldIndicator;
class TYBoxCombo;
class TYEditString;

class TNetworkPage : public TPageBase {
    Q_OBJECT

public:
    // Positions of the device-status selector.
    static constexpr int kNaoAtivado = 0;
    static constexpr int kAtivado = 1;
    static constexpr int kKitDeDesenvolvedor = 2;
    static constexpr int kActivationCodeMaxLength = 32;

    explicit TNetworkPage(TFprincipal& window, QWidget* parent = nullptr);

    // The device status as the selector reads it, 0 to 2.
    int DeviceStatus() const;

    // LimpaRede: status "NÃO ATIVADO", default code cleared, indicators X.
    void Limpa() override;

    QLabel* Label48 = nullptr;
    TYBoxCombo* rede_status_sat = nullptr;
    QLabel* rede_status_sat_ativacao_lbl = nullptr;
    TYEditString* rede_status_sat_ativacao = nullptr;
    TFieldIndicator* rede_status_sat_ativacao_check = nullptr;

protected:
    // The rows of the page's fields, two columns wide (caption, field) plus
    // one for indicators; the status rows take rows 0 and 1.
    QGridLayout* Fields() const { return fields_; }

private:
    QGridLayout* fields_ = nullptr;
};
