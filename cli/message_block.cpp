#include "cli/message_block.h"

#include <array>
#include <ostream>
#include <string_view>

#include "rules/cp1252.h"
#include "rules/line_text.h"
#include "rules/text_utils.h"

namespace {

constexpr int kModalResultOk = 1;

std::string UpperCase(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        c = Cp1252UpperCase(c);
    }
    return upper;
}

bool ContainsAny(const std::string& upper, std::initializer_list<std::string_view> markers) {
    for (const std::string_view marker : markers) {
        if (upper.find(marker) != std::string::npos) {
            return true;
        }
    }
    return false;
}

struct TitleRow {
    std::initializer_list<std::string_view> markers;
    std::string_view title;         // UTF-8
    std::string_view removedMarker; // empty: none removed here
};

} // namespace

MessageBlock MessageAsBlock(const std::string& cp1252Text) {
    static const std::array<TitleRow, 5> kTitles = {{
        {{"[I]"}, "Informação ao usuário", "[I]"},
        {{"[C]", "[SN]", "[YN]", "[SNC]", "[YNC]", "[SNA]", "[YNE]"},
         "Confirmação de Procedimento",
         "[C]"},
        {{"[E]"}, "Erro de Procedimento", "[E]"},
        {{"[P]"}, "Selecione a opção desejada", ""},
        {{"[W]"}, "Alerta ao Usuário", "[W]"},
    }};
    static const std::array<std::initializer_list<std::string_view>, 4> kButtonMarkers = {{
        {"[SN]", "[YN]"},
        {"[P]"},
        {"[SNC]", "[YNC]"},
        {"[SNA]", "[YNE]"},
    }};

    MessageBlock block{"Mensagem ao Usuário", cp1252Text};
    const std::string upper = UpperCase(cp1252Text);
    for (const TitleRow& row : kTitles) {
        if (ContainsAny(upper, row.markers)) {
            block.title = row.title;
            if (!row.removedMarker.empty()) {
                block.text = ReplaceAllText(block.text, row.removedMarker, "");
            }
            break;
        }
    }
    const std::string upperAfterTitle = UpperCase(block.text);
    for (const auto& markers : kButtonMarkers) {
        if (ContainsAny(upperAfterTitle, markers)) {
            for (const std::string_view marker : markers) {
                block.text = ReplaceAllText(block.text, marker, "");
            }
            break;
        }
    }
    return block;
}

std::string FormatMessageBlock(const MessageBlock& block) {
    std::string formatted = block.title + "\n";
    for (const std::string& line : SplitLines(block.text)) {
        formatted += Cp1252ToUtf8(line) + "\n";
    }
    return formatted + "\n";
}

int StreamUserInterface::ShowMessageDialog(const std::string& text) {
    stream_ << FormatMessageBlock(MessageAsBlock(text)) << std::flush;
    return kModalResultOk;
}
