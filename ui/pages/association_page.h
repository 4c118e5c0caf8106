#pragma once
// Page 2, signature association: taxpayer and software house CNPJ and the signature, sent with
// AssociarAssinatura.

#include "ui/pages/page_base.h"

class TAssociationPage : public TPageBase {
    Q_OBJECT

public:
    explicit TAssociationPage(TFprincipal& window, QWidget* parent = nullptr);
};
