#include "emulator/openssl_handles.h"

#include <openssl/err.h>

namespace satemu {

void FreeOpenSslBuffer(unsigned char* buffer) {
    OPENSSL_free(buffer);
}

std::string TakeOpenSslErrors() {
    std::string text;
    while (const unsigned long code = ERR_get_error()) {
        char line[256];
        ERR_error_string_n(code, line, sizeof line);
        if (!text.empty()) {
            text += "; ";
        }
        text += line;
    }
    return text;
}

OpenSslError::OpenSslError(const std::string& operation)
    : std::runtime_error([&] {
          const std::string queue = TakeOpenSslErrors();
          return "falha do OpenSSL em " + operation + ": " +
                 (queue.empty() ? std::string("sem detalhe") : queue);
      }()) {}

} // namespace satemu
