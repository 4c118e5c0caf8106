// How fast the emulated device answers: general queries and sales per second,
// a sale of 500 items on a new device and on one with a long history beside
// its floor (one canonical form and one RSA-2048 signature of the same issued
// document, the work no device can skip; paired, in CPU time), and the time
// of a log extraction when the device's log holds 32 MB. DVT_BENCH_FOLDER
// chooses where the devices keep their state (default /tmp): every sale is
// saved durably, so the disk's flush time is part of each one's wall time.

#include "emulator/base64.h"
#include "emulator/canonical_xml.h"
#include "emulator/device_key.h"
#include "emulator/exports.h"
#include "sale_documents.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dlfcn.h>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <vector>

namespace {

// DVT_BENCH_SAT_LIBRARY names another build of the library (to compare
// two versions); the default is the one built beside this program.
const char* LibraryPath() {
    const char* path = std::getenv("DVT_BENCH_SAT_LIBRARY");
    return path && *path ? path : DVT_SAT_LIBRARY_PATH;
}

struct Library {
    void* handle = dlopen(LibraryPath(), RTLD_NOW | RTLD_LOCAL);
    decltype(&::ConsultarSAT) consultar =
        reinterpret_cast<decltype(&::ConsultarSAT)>(dlsym(handle, "ConsultarSAT"));
    decltype(&::EnviarDadosVenda) vender =
        reinterpret_cast<decltype(&::EnviarDadosVenda)>(dlsym(handle, "EnviarDadosVenda"));
    decltype(&::ExtrairLogs) extrair =
        reinterpret_cast<decltype(&::ExtrairLogs)>(dlsym(handle, "ExtrairLogs"));
};

Library& Sat() {
    static Library library;
    return library;
}

// The kits' folders, removed when the program ends: each holds a device's
// remembered answers, tens of megabytes after the 500-item sales.
struct KitFolders {
    std::vector<std::string> made;
    ~KitFolders() {
        for (const std::string& folder : made) {
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);
        }
    }
};

KitFolders& Folders() {
    static KitFolders folders;
    return folders;
}

// A developer kit in a folder of its own for each benchmark.
std::string FreshKit(const char* name) {
    const char* base = std::getenv("DVT_BENCH_FOLDER");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/dvt-emulator-bench-XXXXXX";
    char* folder = pattern.data();
    if (!mkdtemp(folder)) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    Folders().made.push_back(folder);
    const std::string state = std::string(folder) + "/" + name + ".txt";
    setenv("DVT_SAT_STATE", state.c_str(), 1);
    setenv("DVT_SAT_MODE", "kit", 1);
    setenv("DVT_SAT_CLOCK", "20250115103000", 1);
    return state;
}

constexpr const char* kSale =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><CFe><infCFe versaoDadosEnt=\"0.08\">"
    "<ide><CNPJ>16716114000172</CNPJ><signAC>SGR-SAT SISTEMA DE GESTAO E RETAGUARDA DO SAT"
    "</signAC><numeroCaixa>001</numeroCaixa></ide><emit><CNPJ>61099008000141</CNPJ>"
    "<IE>111111111111</IE><indRatISSQN>N</indRatISSQN></emit><dest/>"
    "<det nItem=\"1\"><prod><cProd>279</cProd><xProd>Perfume 100ml</xProd><NCM>33030010</NCM>"
    "<CFOP>5102</CFOP><uCom>UN</uCom><qCom>1.0000</qCom><vUnCom>50.00</vUnCom>"
    "<indRegra>A</indRegra></prod><imposto><ICMS><ICMS00><Orig>0</Orig><CST>00</CST>"
    "<pICMS>18.00</pICMS></ICMS00></ICMS><PIS><PISAliq><CST>01</CST><vBC>50.00</vBC>"
    "<pPIS>0.0065</pPIS></PISAliq></PIS><COFINS><COFINSAliq><CST>01</CST><vBC>50.00</vBC>"
    "<pCOFINS>0.0300</pCOFINS></COFINSAliq></COFINS></imposto></det><total/>"
    "<pgto><MP><cMP>01</cMP><vMP>50.00</vMP></MP></pgto></infCFe></CFe>";

int g_session = 0;

int NextSession() {
    g_session = g_session >= 999999 ? 1 : g_session + 1;
    return g_session;
}

void BM_ConsultarSAT(benchmark::State& state) {
    FreshKit("consultar");
    for (auto _ : state) {
        benchmark::DoNotOptimize(Sat().consultar(NextSession()));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ConsultarSAT)->Unit(benchmark::kMicrosecond);

void BM_EnviarDadosVenda(benchmark::State& state) {
    FreshKit("vender");
    for (auto _ : state) {
        const char* answer = Sat().vender(NextSession(), "12345678", kSale);
        if (!answer || !std::strstr(answer, "|06000|")) {
            state.SkipWithError("the sale was refused");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EnviarDadosVenda)->Unit(benchmark::kMicrosecond);

// CPU time of the whole process (every thread) and wall time, in seconds.
double ProcessCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double WallSeconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

long MinorFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The issued CF-e of a sale answer (its seventh field, Base64).
std::optional<std::string> IssuedDocument(const char* answer) {
    std::string_view rest = answer ? answer : "";
    for (int field = 0; field < 6; ++field) {
        const std::size_t bar = rest.find('|');
        if (bar == std::string_view::npos) {
            return std::nullopt;
        }
        rest.remove_prefix(bar + 1);
    }
    return satemu::Base64Decode(rest.substr(0, rest.find('|')));
}

constexpr int kSaleItems = 500;
constexpr int kVariants = 8;
constexpr int kPairs = 31;

// The sale of 500 items beside its floor, in alternating pairs measured in
// CPU time: the floor is the canonical form of the issued infCFe and one
// RSA-2048 signature (SHA-256 of that form, then the private-key operation)
// of it, with the emulator's own code, on the document the same items
// issued. The sale does that and more: it parses and checks every field,
// computes the values, signs SignedInfo and the QR code's text (a device's
// second signature, assinaturaQRCODE, which the standard requires of every
// CF-e: `x_floor_2sig` counts it in the floor), writes the CF-e with its
// Base64, and saves answer, state and log durably. The argument is the
// number of such sales the device made before (its history): the cost must
// not grow with it.
void BM_Sale500ItemsBesideFloor(benchmark::State& state) {
    const auto history = static_cast<int>(state.range(0));
    std::vector<std::string> sales;
    for (int variant = 0; variant < kVariants; ++variant) {
        sales.push_back(bench::SaleDocument(kSaleItems, variant));
    }
    const auto sell = [&](int variant) {
        const char* answer = Sat().vender(NextSession(), "12345678", sales[variant].c_str());
        return answer && std::strstr(answer, "|06000|") ? IssuedDocument(answer) : std::nullopt;
    };
    // What each variant's items issue, parsed for the floor, on a kit of
    // its own.
    FreshKit("piso");
    std::vector<pugi::xml_document> issued(kVariants);
    for (int variant = 0; variant < kVariants; ++variant) {
        const auto document = sell(variant);
        if (!document || !issued[variant].load_buffer(document->data(), document->size())) {
            state.SkipWithError("the sale was refused");
            return;
        }
    }
    FreshKit("historia");
    Sat().consultar(NextSession()); // the kit's key is made here
    for (int i = 0; i < history; ++i) {
        if (!sell(i % kVariants)) {
            state.SkipWithError("the sale was refused");
            return;
        }
    }
    const satemu::DeviceKey key =
        satemu::DeviceKey::Create({"900012345", "61099008000141"}, 0, 1000000000);
    std::vector<double> saleCpu, saleWall, saleFaults, floorCpu, floorTwoCpu, floorFaults, ratio;
    bool refused = false;
    const auto measureSale = [&](int variant) {
        const long faults = MinorFaults();
        const double wall = WallSeconds();
        const double cpu = ProcessCpuSeconds();
        refused = refused || !sell(variant);
        saleCpu.push_back(ProcessCpuSeconds() - cpu);
        saleWall.push_back(WallSeconds() - wall);
        saleFaults.push_back(static_cast<double>(MinorFaults() - faults));
    };
    const auto measureFloor = [&](int variant) {
        const pugi::xml_node infCFe = issued[variant].document_element().child("infCFe");
        const long faults = MinorFaults();
        const double cpu = ProcessCpuSeconds();
        benchmark::DoNotOptimize(key.Sign(satemu::Canonical(infCFe)));
        const double one = ProcessCpuSeconds();
        benchmark::DoNotOptimize(key.Sign(infCFe.attribute("Id").value()));
        floorCpu.push_back(one - cpu);
        floorTwoCpu.push_back(ProcessCpuSeconds() - cpu);
        floorFaults.push_back(static_cast<double>(MinorFaults() - faults));
    };
    int pair = 0;
    for (auto _ : state) {
        const int variant = pair % kVariants;
        if (pair++ % 2 == 0) {
            measureSale(variant);
            measureFloor(variant);
        } else {
            measureFloor(variant);
            measureSale(variant);
        }
        ratio.push_back(saleCpu.back() / floorCpu.back());
    }
    if (refused) {
        state.SkipWithError("the sale was refused");
        return;
    }
    state.counters["sale_cpu_ms"] = Median(saleCpu) * 1000;
    state.counters["sale_wall_ms"] = Median(saleWall) * 1000;
    state.counters["sale_faults"] = Median(saleFaults);
    state.counters["floor_cpu_ms"] = Median(floorCpu) * 1000;
    state.counters["floor_faults"] = Median(floorFaults);
    state.counters["x_floor"] = Median(ratio);
    state.counters["x_floor_2sig"] = Median(saleCpu) / Median(floorTwoCpu);
}
BENCHMARK(BM_Sale500ItemsBesideFloor)
    ->Arg(0)
    ->Arg(1000)
    ->Iterations(kPairs)
    ->Unit(benchmark::kMillisecond);

void BM_ExtrairLogs32MB(benchmark::State& state) {
    const std::string path = FreshKit("logs");
    Sat().consultar(NextSession());
    // Fill the device's log with 32 MB of ordinary event lines.
    std::FILE* log = std::fopen((path + ".log").c_str(), "ab");
    const std::string line = "20250115103000|AC|INFO|ConsultarSAT sessão 123456: 08000\n";
    for (std::size_t written = 0; written < 32u * 1024 * 1024; written += line.size()) {
        std::fwrite(line.data(), 1, line.size(), log);
    }
    std::fclose(log);
    for (auto _ : state) {
        const char* answer = Sat().extrair(NextSession(), "12345678");
        if (!answer || std::strlen(answer) < 40u * 1024 * 1024) {
            state.SkipWithError("the log did not come back whole");
            break;
        }
    }
}
BENCHMARK(BM_ExtrairLogs32MB)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
