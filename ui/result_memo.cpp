#include "ui/result_memo.h"

#include <QPlainTextEdit>

#include <array>
#include <string>

#include "rules/cp1252.h"

namespace {

// The UTF-16 character of every Windows-1252 byte, taken once from the
// program's one codec so both conversions always agree.
const std::array<char16_t, 256>& Cp1252Characters() {
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> characters{};
        for (int byte = 0; byte < 256; ++byte) {
            const std::string utf8 = Cp1252ToUtf8(std::string(1, static_cast<char>(byte)));
            const QString character =
                QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
            characters[static_cast<std::size_t>(byte)] =
                character.size() == 1 ? character.front().unicode() : u'?';
        }
        return characters;
    }();
    return table;
}

} // namespace

void PrepareResultMemo(QPlainTextEdit& memo) {
    memo.setReadOnly(true);
    memo.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo.setUndoRedoEnabled(false);
    // Read-only still lets the user move through a long log with the keys.
    memo.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

QString ResultMemoText(std::string_view cp1252Text) {
    const std::array<char16_t, 256>& characters = Cp1252Characters();
    // One pass, written in place: the text never needs more characters than
    // it has bytes (a CR LF pair becomes one line end).
    QString text(static_cast<qsizetype>(cp1252Text.size()), Qt::Uninitialized);
    char16_t* const begin = reinterpret_cast<char16_t*>(text.data());
    char16_t* out = begin;
    int lineEnds = 0;
    const std::size_t size = cp1252Text.size();
    for (std::size_t i = 0; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(cp1252Text[i]);
        if (byte != '\r' && byte != '\n') {
            *out++ = characters[byte];
            continue;
        }
        if (byte == '\r' && i + 1 < size && cp1252Text[i + 1] == '\n') {
            ++i;
        }
        lineEnds = (lineEnds + 1) % kLinesPerParagraph;
        *out++ = lineEnds == 0 ? u'\n' : char16_t{QChar::LineSeparator};
    }
    text.truncate(out - begin);
    return text;
}

void AppendResultText(QPlainTextEdit& memo, std::string_view cp1252Text) {
    memo.appendPlainText(ResultMemoText(cp1252Text));
}
