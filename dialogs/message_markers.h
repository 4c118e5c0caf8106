#pragma once
// The message markers ("[i]", "[e]", "[sn]", ...) read on a QString: the
// shared rule of rules/message_markers.h with the dialog's texts.

#include <QString>

#include "rules/message_markers.h"

struct MessageLook {
    QString title;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    MessageFocus focus = MessageFocus::None;
    QString text; // the message with its markers taken out
};

// The dialog's own upper-casing (see rules/message_markers.h).
QString MessageUpperCase(const QString& text);

// Title, icon and buttons of a message, and its text without the markers that
// chose them.
MessageLook ResolveMessageMarkers(const QString& text);
