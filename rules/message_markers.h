#pragma once
// The bracketed markers a message text may carry ("[i]", "[e]", "[sn]", ...)
// and the look they select: one reading for every front end. The message
// dialog reads UTF-16 texts, the command line Windows-1252 ones; both go
// through the same tables here.

#include <string>
#include <string_view>

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

template <class Text> struct MarkerReading {
    std::string_view title; // UTF-8
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    MessageFocus focus = MessageFocus::None;
    Text text; // the message with its markers taken out
};

// The dialog's own upper-casing: "a".."z" and the accented letters
// "çáéíóúãõàèìòùâêîôû" move down 32 code points; every other character stays.
// The accented letters have the same values in Windows-1252 and UTF-16.
std::u16string MessageUpperCase(std::u16string_view text);

// Title, icon and buttons of a message, and its text without the markers that
// chose them. The title comes from the first matching row of one table ("[I]",
// the confirmation markers, "[E]", "[P]", "[W]"), the buttons independently
// from another one read after the title's marker is gone. Markers match in any
// letter case, scanning left to right; what is removed is not scanned again.
// A text without markers keeps its text and gets "Mensagem ao Usuário".
MarkerReading<std::u16string> ReadMessageMarkers(std::u16string_view text);
MarkerReading<std::string> ReadMessageMarkers(std::string_view cp1252Text);
