#pragma once
// Test expectations are written in UTF-8 source; the core's texts are
// Windows-1252. These helpers convert once, at the comparison.

#include <QByteArray>
#include <QByteArrayList>
#include <string>
#include <string_view>

#include "rules/cp1252.h"

// A UTF-8 literal as the core's Windows-1252 bytes.
inline QByteArray W(const char* utf8) {
    return QByteArray::fromStdString(Utf8ToCp1252(utf8));
}

inline QByteArray Bytes(std::string_view text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

// Each entry of a list of UTF-8 literals as Windows-1252 bytes.
inline QByteArrayList WList(const QByteArrayList& utf8) {
    QByteArrayList list;
    for (const QByteArray& text : utf8) {
        list.append(QByteArray::fromStdString(Utf8ToCp1252(text.toStdString())));
    }
    return list;
}
