#include "ui/pages/maintenance_page.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "dialogs/design_fonts.h"

TMaintenancePage::TMaintenancePage(TFprincipal& window, QWidget* parent)
    : TPageBase(window,
                {QStringLiteral("AdvPolyPage6"), QStringLiteral("Image8"),
                 QStringLiteral("page_maintenance"), QStringLiteral("Label36"),
                 QStringLiteral("Código de Ativação, Atualizações e Gerais")},
                parent) {
    Label78 = new QLabel(QStringLiteral("Retorno:"), Body());
    Label78->setObjectName(QStringLiteral("Label78"));
    Label78->setFont(ArialFont(9, true));
    Label78->setStyleSheet(QStringLiteral("color: #143f94;"));
    memo_retorno_1 = new QPlainTextEdit(Body());
    memo_retorno_1->setObjectName(QStringLiteral("memo_retorno_1"));
    memo_retorno_1->setReadOnly(true);
    memo_retorno_1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo_retorno_1->setFont(CourierNewFont(9, false));

    // The page's controls go above the result memo.
    auto* layout = new QVBoxLayout(Body());
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addStretch(1);
    layout->addWidget(Label78);
    layout->addWidget(memo_retorno_1, 2);
}
