#include "dialogs/message_markers.h"

QString MessageUpperCase(const QString& text) {
    return QString::fromStdU16String(MessageUpperCase(text.toStdU16String()));
}

MessageLook ResolveMessageMarkers(const QString& text) {
    const MarkerReading<std::u16string> reading = ReadMessageMarkers(text.toStdU16String());
    return {QString::fromUtf8(reading.title.data(), static_cast<qsizetype>(reading.title.size())),
            reading.icon, reading.buttons, reading.focus, QString::fromStdU16String(reading.text)};
}
