#include "rules/sent_document.h"

#include <fstream>
#include <system_error>
#include <utility>

#include "rules/cp1252.h"

SentDocumentFile ReadSentDocumentFile(const std::filesystem::path& path, std::size_t limit) {
    SentDocumentFile file;
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (error || !std::filesystem::exists(status)) {
        return file;
    }
    if (!std::filesystem::is_regular_file(status)) {
        file.outcome = SentDocumentRead::NotAFile;
        return file;
    }
    std::ifstream input(path, std::ios::binary);
    if (!input.is_open()) {
        return file;
    }
    // One byte past the limit tells a file at the limit from a larger one,
    // whatever size the file system reports (files of /proc report 0).
    file.bytes.resize(limit + 1);
    input.read(file.bytes.data(), static_cast<std::streamsize>(file.bytes.size()));
    if (input.bad()) {
        file.bytes.clear();
        return file;
    }
    file.bytes.resize(static_cast<std::size_t>(input.gcount()));
    if (file.bytes.size() > limit) {
        file.bytes.clear();
        file.outcome = SentDocumentRead::TooLarge;
        return file;
    }
    file.bytes.shrink_to_fit();
    file.outcome = SentDocumentRead::Read;
    return file;
}

std::string SentDocumentReadMessage(SentDocumentRead outcome, std::string_view fileName) {
    std::string message;
    switch (outcome) {
    case SentDocumentRead::Read:
        return message;
    case SentDocumentRead::Unreadable:
        message = Utf8ToCp1252("Não foi possível ler o arquivo ");
        message.append(fileName);
        break;
    case SentDocumentRead::NotAFile:
        message = Utf8ToCp1252("O caminho ");
        message.append(fileName).append(Utf8ToCp1252(
            " não é um arquivo comum (é uma pasta, um dispositivo ou uma fila) e não foi lido."));
        break;
    case SentDocumentRead::TooLarge:
        message = Utf8ToCp1252("O arquivo ");
        message.append(fileName).append(
            Utf8ToCp1252(" passa de 1.500 KB, o maior documento que o equipamento SAT aceita, e "
                         "não foi enviado."));
        break;
    }
    return message + "[e]";
}

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

std::optional<std::string> ReadSendableDocument(const std::filesystem::path& path,
                                                std::string_view fileName,
                                                const ShowMessage& show) {
    SentDocumentFile file = ReadSentDocumentFile(path);
    if (file.outcome != SentDocumentRead::Read) {
        ShowRefusal(show, SentDocumentReadMessage(file.outcome, fileName));
        return std::nullopt;
    }
    if (!IsSendableDocument(file.bytes, fileName, show)) {
        return std::nullopt;
    }
    return std::move(file.bytes);
}
