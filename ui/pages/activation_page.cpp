#include "ui/pages/activation_page.h"

TActivationPage::TActivationPage(TFprincipal& window, QWidget* parent)
    : TPageBase(window,
                {QStringLiteral("AdvPolyPage2"), QStringLiteral("Image1"),
                 QStringLiteral("page_activation"), QStringLiteral("Label4"),
                 QStringLiteral("Ativar SAT")},
                parent) {}
