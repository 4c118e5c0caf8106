#pragma once
// The one crossing between the core's Windows-1252 byte strings and Qt's
// QString. Every widget that shows a core text, and every core call that takes
// a typed text, goes through this pair.

#include <QString>

#include <string>
#include <string_view>

// Windows-1252 bytes -> QString. Every byte has a character, so nothing is lost.
QString AnsiToQString(std::string_view cp1252);

// QString -> Windows-1252 bytes. A character the code page cannot hold
// becomes "?".
std::string QStringToAnsi(const QString& text);
