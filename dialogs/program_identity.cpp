#include "dialogs/program_identity.h"

QString MakerName() {
    return QStringLiteral("Dravo Sistemas Fiscais");
}

QString MakerWebAddress() {
    return QStringLiteral("www.dravo.example");
}

QString MakerSlogan() {
    return QStringLiteral("Seu equipamento SAT em ordem,\nsua venda sempre em dia.");
}

QString CreditLine() {
    return QStringLiteral("Desenvolvido pela equipe Dravo Vexa Tarvik");
}

QString RightsLine() {
    return QStringLiteral("© Dravo Sistemas Fiscais. Todos os direitos reservados.");
}
