#include "emulator/faults.h"

#include "emulator/answers.h"
#include "emulator/text_encoding.h"

#include <algorithm>

namespace satemu {

Fault ParseFault(std::string_view name) {
    if (name == "no-separator") {
        return Fault::NoSeparator;
    }
    if (name == "invalid-utf8") {
        return Fault::InvalidUtf8;
    }
    if (name == "short") {
        return Fault::Short;
    }
    if (name == "null") {
        return Fault::Null;
    }
    if (name == "busy") {
        return Fault::Busy;
    }
    if (name == "status-27") {
        return Fault::Status27;
    }
    return Fault::None;
}

std::string BusyAnswer(int session, int family) {
    return JoinFields({std::to_string(session), ReturnCode(family * 1000 + 98), "0000",
                       MessageFor(family * 1000 + 98), "", ""});
}

void DamageAnswer(Fault fault, std::string& answer) {
    if (fault != Fault::Short && fault != Fault::InvalidUtf8 && fault != Fault::Status27) {
        return;
    }
    std::vector<std::string> fields = SplitFields(answer);
    if (fault == Fault::Short) {
        fields.resize(std::min<std::size_t>(fields.size(), 3));
    } else if (fault == Fault::InvalidUtf8 && fields.size() >= 3) {
        // The message sent in the ANSI code page, as a misconfigured library
        // does, ending in a byte that never starts a UTF-8 sequence.
        std::string& message = fields[MessageFieldIndex(answer)];
        message = Utf8ToWindows(message) + '\xFF';
    } else if (fault == Fault::Status27 && fields.size() == 28) {
        fields.erase(fields.begin() + 22); // some devices leave LISTA_FINAL out
    } else {
        return;
    }
    answer = JoinFields(fields);
}

} // namespace satemu
