#pragma once
// The three type faces the windows are drawn with. Each asks for the Windows
// face first and then for its metric-compatible Liberation twin, so a Linux
// machine with fonts-liberation shows the same line widths and heights.

#include <QFont>

QFont CourierNewFont(int pointSize, bool bold);
QFont ArialFont(int pointSize, bool bold);
QFont MsSansSerifFont(int pointSize, bool bold);
