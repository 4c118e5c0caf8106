#pragma once
// Page 1, activation: the taxpayer's CNPJ, the activation code (typed twice) and the state, sent
// with AtivarSAT.

#include "ui/pages/page_base.h"

class TActivationPage : public TPageBase {
    Q_OBJECT

public:
    explicit TActivationPage(TFprincipal& window, QWidget* parent = nullptr);
};
