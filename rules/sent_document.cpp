#include "rules/sent_document.h"

#include <string>

#include "rules/cp1252.h"

bool IsSendableDocument(std::string_view document, std::string_view fileName,
                        const ShowMessage& show) {
    if (document.find('\0') == std::string_view::npos) {
        return true;
    }
    std::string message = Utf8ToCp1252("O arquivo ");
    message.append(fileName).append(
        Utf8ToCp1252(" contém um caractere nulo e não foi enviado.[e]"));
    return ShowRefusal(show, message);
}
