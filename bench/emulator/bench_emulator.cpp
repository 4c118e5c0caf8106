// How fast the emulated device answers: general queries and sales per second,
// a sale of 500 items on a new device and on one with a long history beside
// its floor (one canonical form and one RSA-2048 signature of the same issued
// document, the work no device can skip), and the time of a log extraction
// when the device's log holds 32 MB. DVT_BENCH_FOLDER chooses where the
// devices keep their state (default /tmp): every sale is saved durably, so
// the disk's flush time is part of each one.

#include "emulator/base64.h"
#include "emulator/canonical_xml.h"
#include "emulator/device_key.h"
#include "emulator/exports.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <string>

namespace {

struct Library {
    void* handle = dlopen(DVT_SAT_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
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

// A developer kit in a folder of its own for each benchmark.
std::string FreshKit(const char* name) {
    const char* base = std::getenv("DVT_BENCH_FOLDER");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/dvt-emulator-bench-XXXXXX";
    char* folder = pattern.data();
    if (!mkdtemp(folder)) {
        std::perror("mkdtemp");
        std::exit(1);
    }
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

// A sale document of 500 items.
std::string Sale500Items() {
    std::string items;
    for (int n = 1; n <= 500; ++n) {
        items += "<det nItem=\"" + std::to_string(n) +
                 "\"><prod><cProd>279</cProd><xProd>Perfume 100ml</xProd><NCM>33030010</NCM>"
                 "<CFOP>5102</CFOP><uCom>UN</uCom><qCom>1.0000</qCom><vUnCom>50.00</vUnCom>"
                 "<indRegra>A</indRegra></prod><imposto><ICMS><ICMS00><Orig>0</Orig><CST>00</CST>"
                 "<pICMS>18.00</pICMS></ICMS00></ICMS><PIS><PISAliq><CST>01</CST><vBC>50.00</vBC>"
                 "<pPIS>0.0065</pPIS></PISAliq></PIS><COFINS><COFINSAliq><CST>01</CST>"
                 "<vBC>50.00</vBC><pCOFINS>0.0300</pCOFINS></COFINSAliq></COFINS></imposto></det>";
    }
    std::string sale = kSale;
    const std::size_t begin = sale.find("<det ");
    const std::size_t end = sale.find("<total/>");
    sale.replace(begin, end - begin, items);
    const std::size_t paid = sale.find("<vMP>50.00</vMP>");
    sale.replace(paid, 16, "<vMP>25000.00</vMP>");
    return sale;
}

// The sale of 500 items after `history` such sales on the same device: the
// 1st (history 0) and the 100th and later (history 99) should cost the same,
// as the device keeps a bounded memory of answers.
void BM_Sale500ItemsAfterHistory(benchmark::State& state) {
    static const std::string sale = Sale500Items();
    const auto history = static_cast<int>(state.range(0));
    const auto sell = [&](benchmark::State& s) {
        const char* answer = Sat().vender(NextSession(), "12345678", sale.c_str());
        if (!answer || !std::strstr(answer, "|06000|")) {
            s.SkipWithError("the sale was refused");
            return false;
        }
        return true;
    };
    for (auto _ : state) {
        state.PauseTiming();
        if (history == 0 || state.iterations() == 0) {
            FreshKit("historia");
            Sat().consultar(NextSession()); // the kit's key is made here
            for (int i = 0; i < history; ++i) {
                if (!sell(state)) {
                    return;
                }
            }
        }
        state.ResumeTiming();
        if (!sell(state)) {
            return;
        }
    }
}
BENCHMARK(BM_Sale500ItemsAfterHistory)
    ->Arg(0)
    ->Arg(99)
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The floor of the 500-item sale: the canonical form of the issued infCFe and
// one RSA-2048 signature of it, with the emulator's own code.
void BM_Sale500ItemsFloor(benchmark::State& state) {
    static const std::string sale = Sale500Items();
    FreshKit("piso");
    const char* answer = Sat().vender(NextSession(), "12345678", sale.c_str());
    std::string base64 = answer ? answer : "";
    for (int field = 0; field < 6 && !base64.empty(); ++field) {
        const std::size_t bar = base64.find('|');
        base64 = bar == std::string::npos ? std::string() : base64.substr(bar + 1);
    }
    base64 = base64.substr(0, base64.find('|'));
    const auto issued = satemu::Base64Decode(base64);
    pugi::xml_document document;
    if (!issued || !document.load_buffer(issued->data(), issued->size())) {
        state.SkipWithError("no issued document");
        return;
    }
    const pugi::xml_node infCFe = document.document_element().child("infCFe");
    const satemu::DeviceKey key =
        satemu::DeviceKey::Create({"900012345", "61099008000141"}, 0, 1000000000);
    for (auto _ : state) {
        benchmark::DoNotOptimize(key.Sign(satemu::Canonical(infCFe)));
    }
}
BENCHMARK(BM_Sale500ItemsFloor)->Iterations(10)->Unit(benchmark::kMillisecond)->UseRealTime();

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
