#pragma once
// Page 1, activation: the taxpayer's CNPJ, the activation code (typed twice)
// and the issuer's state, sent with AtivarSAT. The list offers the page only
// while the device status reads "NÃO ATIVADO". The activation sends the code
// typed here, not the default code of the network page.

#include "ui/pages/page_base.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class TFieldIndicator;
class TYBoxCombo;
class TYEditNumeric;
class TYEditString;

class TActivationPage : public TPageBase {
    Q_OBJECT

public:
    // Position of "AC-SAT" in the certificate kind list.
    static constexpr int kAcSat = 0;

    explicit TActivationPage(TPageHost& host, QWidget* parent = nullptr);

    // LimpaAtivacao: fields emptied, "AC-SAT" and São Paulo selected, the
    // certificate text emptied and disabled, every indicator X.
    void Limpa() override;

    // Field rules: they only rewrite the field and set its indicator.
    void ativar_cnpjEnter();
    void ativar_cnpjExit();
    void ativar_codigoExit();
    void ativar_codigo_confExit();
    void ativar_certificado_digClick();
    void ativar_certificado_icpExit();

    // Validates the fields and, when they pass, sends the activation.
    void btn_sat_ativarClick();
    void btn_ativar_limpaClick() { Limpa(); }

    QLabel* Label12 = nullptr;
    TYEditNumeric* ativar_cnpj = nullptr;
    TFieldIndicator* ativar_cnpj_check = nullptr;
    QLabel* Label13 = nullptr;
    TYEditString* ativar_codigo = nullptr;
    TFieldIndicator* ativar_codigo_check = nullptr;
    QLabel* Label14 = nullptr;
    TYEditString* ativar_codigo_conf = nullptr;
    TFieldIndicator* ativar_codigo_conf_check = nullptr;
    QLabel* Label15 = nullptr;
    TYBoxCombo* ativar_certificado_dig = nullptr;
    QLabel* Label16 = nullptr;
    TYBoxCombo* ativar_certificado_uf = nullptr;
    QLabel* ativar_certificado_icp_lbl = nullptr;
    QPlainTextEdit* ativar_certificado_icp = nullptr;
    TFieldIndicator* ativar_certificado_icp_check = nullptr;
    QPushButton* btn_sat_ativar = nullptr;
    QPushButton* btn_ativar_limpa = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
