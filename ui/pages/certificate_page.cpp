#include "ui/pages/certificate_page.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/field_indicator.h"
#include "ui/pages/field_exits.h"
#include "ui/pages/page_controls.h"

TCertificatePage::TCertificatePage(TPageHost& host, QWidget* parent)
    : TPageBase(host,
                {QStringLiteral("AdvPolyPage4"), QStringLiteral("Image3"),
                 QStringLiteral("page_certificate"), QStringLiteral("Label6"),
                 QStringLiteral("Comunicar Certificado ICP/Brasil")},
                parent) {
    QWidget* body = Body();
    Label8 = PageCaption(
        "Label8", QStringLiteral("Cole abaixo seu Certficado ICP/Brasil, e clique em enviar:"),
        body);
    icp_certificado_icp = PageMemo("icp_certificado_icp", body);
    icp_certificado_icp_check = PageIndicator("icp_certificado_icp_check", body);
    AdvGlassButton1 = PageGlassButton("AdvGlassButton1", QStringLiteral("Enviar"), body);
    btn_icp_limpa = PageGlassButton("btn_icp_limpa", QStringLiteral("Limpar"), body);

    auto* text = new QGridLayout;
    text->setHorizontalSpacing(10);
    text->addWidget(Label8, 0, 0, 1, 2);
    text->addWidget(icp_certificado_icp, 1, 0);
    text->addWidget(icp_certificado_icp_check, 1, 1, Qt::AlignTop);
    text->setRowStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btn_icp_limpa);
    buttons->addWidget(AdvGlassButton1);

    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(6, 10, 6, 4);
    layout->setSpacing(10);
    layout->addLayout(text, 1);
    layout->addLayout(buttons);

    icp_certificado_icp->installEventFilter(this);
    connect(btn_icp_limpa, &QPushButton::clicked, this, [this] { btn_icp_limpaClick(); });
}

bool TCertificatePage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == icp_certificado_icp && IsFieldExit(*event)) {
        icp_certificado_icpExit();
    }
    return TPageBase::eventFilter(watched, event);
}

void TCertificatePage::icp_certificado_icpExit() {
    MemoFieldExit(host_, *icp_certificado_icp, icp_certificado_icp_check);
}

void TCertificatePage::Limpa() {
    icp_certificado_icp->clear();
}
