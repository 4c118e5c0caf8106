#include "ui/memo_find_bar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TMemoFindBar::TMemoFindBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("localizar"));
    setAutoFillBackground(true);
    auto* caption = new QLabel(QStringLiteral("Localizar:"), this);
    localizar_texto = new QLineEdit(this);
    localizar_texto->setObjectName(QStringLiteral("localizar_texto"));
    localizar_texto->installEventFilter(this);
    localizar_anterior = new QPushButton(QStringLiteral("Anterior"), this);
    localizar_anterior->setObjectName(QStringLiteral("localizar_anterior"));
    localizar_proximo = new QPushButton(QStringLiteral("Próximo"), this);
    localizar_proximo->setObjectName(QStringLiteral("localizar_proximo"));
    localizar_aviso = new QLabel(this);
    localizar_aviso->setObjectName(QStringLiteral("localizar_aviso"));
    localizar_fechar = new QPushButton(QStringLiteral("Fechar"), this);
    localizar_fechar->setObjectName(QStringLiteral("localizar_fechar"));
    for (QPushButton* button : {localizar_anterior, localizar_proximo, localizar_fechar}) {
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::NoFocus); // the field keeps the focus
    }

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(4);
    layout->addWidget(caption);
    layout->addWidget(localizar_texto, 1);
    layout->addWidget(localizar_anterior);
    layout->addWidget(localizar_proximo);
    layout->addWidget(localizar_aviso);
    layout->addWidget(localizar_fechar);

    connect(localizar_anterior, &QPushButton::clicked, this, [this] { Request(true); });
    connect(localizar_proximo, &QPushButton::clicked, this, [this] { Request(false); });
    connect(localizar_fechar, &QPushButton::clicked, this, &TMemoFindBar::Closed);
    connect(localizar_texto, &QLineEdit::textEdited, this, [this] { localizar_aviso->clear(); });
}

void TMemoFindBar::ShowFound(bool found) {
    localizar_aviso->setText(found ? QString() : QStringLiteral("Não encontrado"));
}

void TMemoFindBar::Request(bool backward) {
    if (!localizar_texto->text().isEmpty()) {
        emit FindRequested(localizar_texto->text(), backward);
    }
}

bool TMemoFindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == localizar_texto && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            Request(key->modifiers().testFlag(Qt::ShiftModifier));
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            emit Closed();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
