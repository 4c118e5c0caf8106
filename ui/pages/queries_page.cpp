#include "ui/pages/queries_page.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "dialogs/design_fonts.h"

TQueriesPage::TQueriesPage(TFprincipal& window, QWidget* parent)
    : TPageBase(window,
                {QStringLiteral("AdvPolyPage5"), QStringLiteral("Image6"),
                 QStringLiteral("page_queries"), QStringLiteral("Label7"),
                 QStringLiteral("Opções de Consultas e Testes")},
                parent) {
    Label76 = new QLabel(QStringLiteral("Retorno:"), Body());
    Label76->setObjectName(QStringLiteral("Label76"));
    Label76->setFont(ArialFont(9, true));
    Label76->setStyleSheet(QStringLiteral("color: #143f94;"));
    memo_retorno = new QPlainTextEdit(Body());
    memo_retorno->setObjectName(QStringLiteral("memo_retorno"));
    memo_retorno->setReadOnly(true);
    memo_retorno->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo_retorno->setFont(CourierNewFont(9, false));

    // The page's controls go above the result memo.
    auto* layout = new QVBoxLayout(Body());
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addStretch(1);
    layout->addWidget(Label76);
    layout->addWidget(memo_retorno, 2);
}
