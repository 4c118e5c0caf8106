#pragma once
// Page 2, signature association: the taxpayer's and the software house's
// CNPJ and the signature issued for that pair (the AC signature), sent with
// AssociarAssinatura and the default activation code of the network page.
// The list offers the page only while the device status reads "ATIVADO".

#include "ui/pages/page_base.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class TFieldIndicator;
class TYEditNumeric;

class TAssociationPage : public TPageBase {
    Q_OBJECT

public:
    explicit TAssociationPage(TPageHost& host, QWidget* parent = nullptr);

    // LimpaAssociacao: both CNPJs and the signature emptied, indicators X.
    void Limpa() override;

    // Field rules: they only rewrite the CNPJ edits and set indicators.
    void associar_cnpjEnter();
    void associar_cnpjExit();
    void associar_shEnter();
    void associar_shExit();
    void associar_assinaturaExit();

    // Checks the default code, then the fields, and sends the association.
    void btn_assinaturaClick();
    void btn_associaClick() { Limpa(); }

    QLabel* Label17 = nullptr;
    TYEditNumeric* associar_cnpj = nullptr;
    TFieldIndicator* associar_cnpj_check = nullptr;
    QLabel* Label18 = nullptr;
    TYEditNumeric* associar_sh = nullptr;
    TFieldIndicator* associar_sh_check = nullptr;
    QLabel* Label19 = nullptr;
    QPlainTextEdit* associar_assinatura = nullptr;
    TFieldIndicator* associar_assinatura_check = nullptr;
    QPushButton* btn_assinatura = nullptr;
    QPushButton* btn_associa = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
