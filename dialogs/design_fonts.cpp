#include "dialogs/design_fonts.h"

#include <QStringList>

namespace {

QFont MakeFont(const QStringList& families, QFont::StyleHint hint, int pointSize, bool bold) {
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(hint);
    font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}

} // namespace

QFont CourierNewFont(int pointSize, bool bold) {
    return MakeFont({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono")},
                    QFont::TypeWriter, pointSize, bold);
}

QFont ArialFont(int pointSize, bool bold) {
    return MakeFont({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")}, QFont::SansSerif,
                    pointSize, bold);
}

// "MS Sans Serif" has no Liberation twin; Microsoft's own successor and then
// Arial's metrics are the closest.
QFont MsSansSerifFont(int pointSize, bool bold) {
    return MakeFont({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                     QStringLiteral("Arial"), QStringLiteral("Liberation Sans")},
                    QFont::SansSerif, pointSize, bold);
}
