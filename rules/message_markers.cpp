#include "rules/message_markers.h"

#include <array>
#include <initializer_list>

namespace {

// Code point values of "çáéíóúãõàèìòùâêîôû" (Latin-1, the same in Windows-1252).
constexpr std::array<char16_t, 18> kAccentedLower = {0xE7, 0xE1, 0xE9, 0xED, 0xF3, 0xFA,
                                                     0xE3, 0xF5, 0xE0, 0xE8, 0xEC, 0xF2,
                                                     0xF9, 0xE2, 0xEA, 0xEE, 0xF4, 0xFB};

char16_t UpperCaseValue(char16_t value) {
    bool lower = value >= u'a' && value <= u'z';
    for (const char16_t accented : kAccentedLower) {
        lower = lower || value == accented;
    }
    return lower ? static_cast<char16_t>(value - 32) : value;
}

// A code unit as a value: Windows-1252 bytes count from 0 to 255.
char16_t ValueOf(char c) {
    return static_cast<unsigned char>(c);
}
char16_t ValueOf(char16_t c) {
    return c;
}

template <class Char> Char UpperCaseChar(Char c) {
    return static_cast<Char>(UpperCaseValue(ValueOf(c)));
}

// Markers are ASCII, written in capitals.
template <class Char>
bool StartsWithMarker(std::basic_string_view<Char> upper, std::string_view marker) {
    if (upper.size() < marker.size()) {
        return false;
    }
    for (std::size_t i = 0; i < marker.size(); ++i) {
        if (ValueOf(upper[i]) != static_cast<unsigned char>(marker[i])) {
            return false;
        }
    }
    return true;
}

template <class Char> std::basic_string<Char> UpperCase(std::basic_string_view<Char> text) {
    std::basic_string<Char> upper(text);
    for (Char& c : upper) {
        c = UpperCaseChar(c);
    }
    return upper;
}

template <class Char> bool Contains(std::basic_string_view<Char> upper, std::string_view marker) {
    for (std::size_t i = 0; i < upper.size(); ++i) {
        if (StartsWithMarker(upper.substr(i), marker)) {
            return true;
        }
    }
    return false;
}

template <class Char>
bool ContainsAny(std::basic_string_view<Char> upper,
                 std::initializer_list<std::string_view> markers) {
    for (const std::string_view marker : markers) {
        if (Contains(upper, marker)) {
            return true;
        }
    }
    return false;
}

template <class Char>
std::basic_string<Char> RemoveMarker(std::basic_string_view<Char> text, std::string_view marker) {
    const std::basic_string<Char> upper = UpperCase(text);
    const std::basic_string_view<Char> upperView(upper);
    std::basic_string<Char> out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        if (StartsWithMarker(upperView.substr(i), marker)) {
            i += marker.size();
        } else {
            out.push_back(text[i]);
            ++i;
        }
    }
    return out;
}

struct TitleRow {
    std::initializer_list<std::string_view> markers;
    std::string_view title; // UTF-8
    MessageIcon icon;
    std::string_view removedMarker; // empty: none removed here
};

struct ButtonRow {
    std::initializer_list<std::string_view> markers; // all of them removed
    MessageButtons buttons;
    MessageFocus focus;
};

// "[YNE]" shares the confirmation row with its sibling "[SNA]": both ask
// Sim/Não/Editar.
const std::array<TitleRow, 5> kTitles = {{
    {{"[I]"}, "Informação ao usuário", MessageIcon::Information, "[I]"},
    {{"[C]", "[SN]", "[YN]", "[SNC]", "[YNC]", "[SNA]", "[YNE]"},
     "Confirmação de Procedimento",
     MessageIcon::Confirmation,
     "[C]"},
    {{"[E]"}, "Erro de Procedimento", MessageIcon::Error, "[E]"},
    {{"[P]"}, "Selecione a opção desejada", MessageIcon::Choice, ""},
    {{"[W]"}, "Alerta ao Usuário", MessageIcon::Warning, "[W]"},
}};

const std::array<ButtonRow, 4> kButtons = {{
    {{"[SN]", "[YN]"}, MessageButtons::YesNo, MessageFocus::None},
    {{"[P]"}, MessageButtons::ViewPrintCancel, MessageFocus::View},
    {{"[SNC]", "[YNC]"}, MessageButtons::YesNoCancel, MessageFocus::Yes},
    {{"[SNA]", "[YNE]"}, MessageButtons::YesNoEdit, MessageFocus::Yes},
}};

template <class Char>
MarkerReading<std::basic_string<Char>> Read(std::basic_string_view<Char> text) {
    MarkerReading<std::basic_string<Char>> reading;
    reading.title = "Mensagem ao Usuário";
    reading.text = std::basic_string<Char>(text);
    // Step one: title and icon, first matching row wins.
    const std::basic_string<Char> upper = UpperCase(text);
    for (const TitleRow& row : kTitles) {
        if (ContainsAny(std::basic_string_view<Char>(upper), row.markers)) {
            reading.title = row.title;
            reading.icon = row.icon;
            if (!row.removedMarker.empty()) {
                reading.text =
                    RemoveMarker(std::basic_string_view<Char>(reading.text), row.removedMarker);
            }
            break;
        }
    }
    // Step two: the buttons, read on the text that step one left.
    const std::basic_string<Char> upperAfterTitle =
        UpperCase(std::basic_string_view<Char>(reading.text));
    for (const ButtonRow& row : kButtons) {
        if (ContainsAny(std::basic_string_view<Char>(upperAfterTitle), row.markers)) {
            reading.buttons = row.buttons;
            reading.focus = row.focus;
            for (const std::string_view marker : row.markers) {
                reading.text = RemoveMarker(std::basic_string_view<Char>(reading.text), marker);
            }
            break;
        }
    }
    return reading;
}

} // namespace

std::u16string MessageUpperCase(std::u16string_view text) {
    return UpperCase(text);
}

MarkerReading<std::u16string> ReadMessageMarkers(std::u16string_view text) {
    return Read(text);
}

MarkerReading<std::string> ReadMessageMarkers(std::string_view cp1252Text) {
    return Read(cp1252Text);
}
