#pragma once
// The device log the benchmarks decode and show: varied like a real one.

#include <cstdio>
#include <random>
#include <string>
#include <vector>

// A varied device log of about `size` bytes in the common form: random
// times, origins, types and texts of different lengths.
inline std::string DeviceLog(std::size_t size) {
    static const std::vector<std::string> words = {
        "comunicação", "SEFAZ",    "concluída",  "documento", "transmitido", "CF-e-SAT",
        "lote",        "recebido", "bateria",    "relógio",   "rede",        "DHCP",
        "certificado", "válido",   "memória",    "trabalho",  "código",      "ativação",
        "bloqueio",    "autônomo", "assinatura", "venda",     "sessão",      "número"};
    static const char* origins[] = {"AC", "SAT", "SEFAZ"};
    static const char* types[] = {"INFO", "INFO", "INFO", "ALERTA", "ERRO"};
    std::mt19937 random(24);
    std::string log;
    log.reserve(size + 512);
    long long second = 0;
    while (log.size() < size) {
        second += random() % 400;
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "2024%02lld%02lld%02lld%02lld%02lld",
                      1 + second / 2592000 % 12, 1 + second / 86400 % 28, second / 3600 % 24,
                      second / 60 % 60, second % 60);
        log += stamp;
        log += '|';
        log += origins[random() % 3];
        log += '|';
        log += types[random() % 5];
        log += '|';
        const unsigned count = 2 + random() % 23;
        for (unsigned i = 0; i < count; ++i) {
            log += words[random() % words.size()];
            log += ' ';
        }
        log += std::to_string(random() % 1000000);
        log += '\n';
    }
    return log;
}
