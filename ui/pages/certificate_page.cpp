#include "ui/pages/certificate_page.h"

TCertificatePage::TCertificatePage(TFprincipal& window, QWidget* parent)
    : TPageBase(window,
                {QStringLiteral("AdvPolyPage4"), QStringLiteral("Image3"),
                 QStringLiteral("page_certificate"), QStringLiteral("Label6"),
                 QStringLiteral("Comunicar Certificado ICP/Brasil")},
                parent) {}
