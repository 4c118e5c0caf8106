#pragma once
// The bracketed markers a message text may carry ("[i]", "[e]", "[sn]", ...)
// and the dialog look they select. Pure text logic, kept apart from the widget
// so every rule can be checked on plain strings.

#include <QString>

enum class MessageIcon { None, Information, Confirmation, Error, Choice, Warning };

enum class MessageButtons {
    Ok,              // BtnOK
    YesNo,           // BtnSim, BtnNao
    ViewPrintCancel, // btnView, btnPrint, BtnCan
    YesNoCancel,     // BtnSim, BtnNao, BtnCan
    YesNoEdit,       // BtnSim, BtnNao, btnAlt
};

// Which button takes the focus when the dialog opens; None leaves it where the
// dialog puts it by itself.
enum class MessageFocus { None, View, Yes };

struct MessageLook {
    QString title;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    MessageFocus focus = MessageFocus::None;
    QString text; // the message with its markers taken out
};

// The dialog's own upper-casing: "a".."z" and the accented letters
// "çáéíóúãõàèìòùâêîôû" move down 32 code points; every other character stays.
QString MessageUpperCase(const QString& text);

// Removes every occurrence of `marker` (given in capitals) in any letter case,
// scanning left to right; what is left is not scanned again.
QString RemoveMarker(const QString& text, const QString& marker);

// Title, icon and buttons of a message, and its text without the markers that
// chose them. The title comes from the first matching row of one table, the
// buttons independently from another one read after the title's marker is gone.
MessageLook ResolveMessageMarkers(const QString& text);
