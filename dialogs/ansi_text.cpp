#include "dialogs/ansi_text.h"

#include "rules/cp1252.h"

QString AnsiToQString(std::string_view cp1252) {
    const std::string utf8 = Cp1252ToUtf8(cp1252);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string QStringToAnsi(const QString& text) {
    // QString::toUtf8 always yields well-formed UTF-8 (a lone surrogate becomes
    // U+FFFD), so the codec never rejects the whole text; U+FFFD itself is not
    // in the code page and comes out as "?" like any other foreign character.
    const QByteArray utf8 = text.toUtf8();
    return Utf8ToCp1252(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}
