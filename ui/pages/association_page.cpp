#include "ui/pages/association_page.h"

TAssociationPage::TAssociationPage(TFprincipal& window, QWidget* parent)
    : TPageBase(window,
                {QStringLiteral("AdvPolyPage3"), QStringLiteral("Image2"),
                 QStringLiteral("page_association"), QStringLiteral("Label5"),
                 QStringLiteral("Associar Assinatura SAT")},
                parent) {}
