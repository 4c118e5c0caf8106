#pragma once
// The maker's own texts that the loading, splash and credits windows show.
// One place, so every window says the same.

#include <QString>

QString MakerName();
QString MakerWebAddress();
QString MakerSlogan(); // two lines
QString CreditLine();
QString RightsLine();
