#include "ui/pages/status_page.h"

TStatusPage::TStatusPage(TFprincipal& window, QWidget* parent)
    : TPageBase(window,
                {QStringLiteral("AdvPolyPage7"), QStringLiteral("Image5"),
                 QStringLiteral("page_status"), QStringLiteral("Label49"),
                 QStringLiteral("Resumo do Vexa®")},
                parent) {}
