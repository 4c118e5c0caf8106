#pragma once
// Page 3, ICP-Brasil certificate: a text area for a pasted certificate. Its
// list entries are hidden and disabled for every device status, so the page
// is never shown, and its "Enviar" button sends nothing.

#include "ui/pages/page_base.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class TFieldIndicator;

class TCertificatePage : public TPageBase {
    Q_OBJECT

public:
    explicit TCertificatePage(TPageHost& host, QWidget* parent = nullptr);

    // LimpaCertificado: the certificate text emptied. Unlike the other
    // resets it leaves the indicator as it is.
    void Limpa() override;

    void icp_certificado_icpExit();
    void btn_icp_limpaClick() { Limpa(); }

    QLabel* Label8 = nullptr;
    QPlainTextEdit* icp_certificado_icp = nullptr;
    TFieldIndicator* icp_certificado_icp_check = nullptr;
    QPushButton* AdvGlassButton1 = nullptr;
    QPushButton* btn_icp_limpa = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
