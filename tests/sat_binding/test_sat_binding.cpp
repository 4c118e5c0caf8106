// The SAT entry-point table filled from real shared libraries through the
// platform loader the program uses.

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <string>

#include "rules/cp1252.h"
#include "sat/platform/dynamic_library.h"
#include "sat/platform/program_folder.h"
#include "sat/platform/sat_library_file.h"
#include "sat/un_funcoes_dll.h"

namespace {

constexpr std::int32_t kSession = 123456;

platform::LibraryHandle Load(const char* path) {
    const platform::LibraryLoadResult loaded = platform::LoadLibraryByPath(path);
    if (loaded.handle == nullptr) {
        qWarning("cannot load %s: %s", path, loaded.error.c_str());
    }
    return loaded.handle;
}

SatEntryPoints Resolved(const char* path) {
    SatEntryPoints table;
    ClearSatEntryPoints(table);
    ResolveSatEntryPoints(table, Load(path));
    return table;
}

// Calls one entry with fixed arguments, each one different, so that the echo
// library's answer shows whether every argument arrived in its place.
std::string Call(const SatEntryPoints& t, SatExport which) {
    switch (which) {
    case SatExport::AssociarAssinatura:
        return t.AssociarAssinatura(kSession, "codigo", "cnpjs", "assinatura");
    case SatExport::AtivarSAT:
        return t.AtivarSAT(kSession, 2, "codigo", "cnpj", 35);
    case SatExport::AtualizarSoftwareSAT:
        return t.AtualizarSoftwareSAT(kSession, "codigo");
    case SatExport::BloquearSAT:
        return t.BloquearSAT(kSession, "codigo");
    case SatExport::CancelarUltimaVenda:
        return t.CancelarUltimaVenda(kSession, "codigo", "chave", "cancelamento");
    case SatExport::ComunicarCertificadoICPBRASIL:
        return t.ComunicarCertificadoICPBRASIL(kSession, "codigo", "certificado");
    case SatExport::ConfigurarInterfaceDeRede:
        return t.ConfigurarInterfaceDeRede(kSession, "codigo", "<config/>");
    case SatExport::ConsultarSAT:
        return t.ConsultarSAT(kSession);
    case SatExport::DesligarSAT:
        return t.DesligarSAT();
    case SatExport::ConsultarStatusOperacional:
        return t.ConsultarStatusOperacional(kSession, "codigo");
    case SatExport::DesbloquearSAT:
        return t.DesbloquearSAT(kSession, "codigo");
    case SatExport::EnviarDadosVenda:
        return t.EnviarDadosVenda(kSession, "codigo", "venda");
    case SatExport::ExtrairLogs:
        return t.ExtrairLogs(kSession, "codigo");
    case SatExport::TesteFimAFim:
        return t.TesteFimAFim(kSession, "codigo", "teste");
    case SatExport::TrocarCodigoDeAtivacao:
        return t.TrocarCodigoDeAtivacao(kSession, "codigo", 1, "novo", "confirmacao");
    case SatExport::ConsultarNumeroSessao:
        return t.ConsultarNumeroSessao(kSession, "codigo", -77);
    case SatExport::VersaoDLL:
        return t.VersaoDLL();
    }
    return {};
}

bool SameTable(const SatEntryPoints& a, const SatEntryPoints& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

class TestSatBinding : public QObject {
    Q_OBJECT

private slots:
    void exportTable_data();
    void exportTable();
    void callsReachTheirExport_data();
    void callsReachTheirExport();
    void missingExportsStayNull_data();
    void missingExportsStayNull();
    void resolvingTwiceGivesTheSameTable();
    void resolvingAgainNullsWhatTheNewLibraryLacks();
    void clearNullsEveryEntry();
    void nullHandleResolvesNothing();
    void loadingTwiceGivesTheSameHandle();
    void loadFailures_data();
    void loadFailures();
    void exportLookUpIsExact_data();
    void exportLookUpIsExact();
    void programFolder();
};

void TestSatBinding::exportTable_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QString>("notLoadedText");
    const char* const names[] = {
        "AssociarAssinatura",
        "AtivarSAT",
        "AtualizarSoftwareSAT",
        "BloquearSAT",
        "CancelarUltimaVenda",
        "ComunicarCertificadoICPBRASIL",
        "ConfigurarInterfaceDeRede",
        "ConsultarSAT",
        "DesligarSAT",
        "ConsultarStatusOperacional",
        "DesbloquearSAT",
        "EnviarDadosVenda",
        "ExtrairLogs",
        "TesteFimAFim",
        "TrocarCodigoDeAtivacao",
        "ConsultarNumeroSessao",
        "VersaoDLL",
    };
    static_assert(std::size(names) == kSatExportCount);
    for (int i = 0; i < static_cast<int>(kSatExportCount); ++i) {
        QTest::newRow(names[i]) << i << QByteArray(names[i])
                                << QString::fromUtf8(names[i]) + QStringLiteral(" não carregada");
    }
}

void TestSatBinding::exportTable() {
    QFETCH(int, index);
    QFETCH(QByteArray, name);
    QFETCH(QString, notLoadedText);
    const SatExport which = SatExportAt(static_cast<std::size_t>(index));
    QCOMPARE(QByteArray(SatExportName(which).data(), SatExportName(which).size()), name);
    const std::string text = SatNotLoadedText(which);
    QCOMPARE(QString::fromStdString(Cp1252ToUtf8(text)), notLoadedText);
    QVERIFY(text.find('\xE3') != std::string::npos); // Windows-1252, not UTF-8
}

void TestSatBinding::callsReachTheirExport_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("answer");
    const struct {
        SatExport which;
        const char* answer;
    } rows[] = {
        {SatExport::AssociarAssinatura, "AssociarAssinatura|123456|codigo|cnpjs|assinatura"},
        {SatExport::AtivarSAT, "AtivarSAT|123456|2|codigo|cnpj|35"},
        {SatExport::AtualizarSoftwareSAT, "AtualizarSoftwareSAT|123456|codigo"},
        {SatExport::BloquearSAT, "BloquearSAT|123456|codigo"},
        {SatExport::CancelarUltimaVenda, "CancelarUltimaVenda|123456|codigo|chave|cancelamento"},
        {SatExport::ComunicarCertificadoICPBRASIL,
         "ComunicarCertificadoICPBRASIL|123456|codigo|certificado"},
        {SatExport::ConfigurarInterfaceDeRede, "ConfigurarInterfaceDeRede|123456|codigo|<config/>"},
        {SatExport::ConsultarSAT, "ConsultarSAT|123456"},
        {SatExport::DesligarSAT, "DesligarSAT"},
        {SatExport::ConsultarStatusOperacional, "ConsultarStatusOperacional|123456|codigo"},
        {SatExport::DesbloquearSAT, "DesbloquearSAT|123456|codigo"},
        {SatExport::EnviarDadosVenda, "EnviarDadosVenda|123456|codigo|venda"},
        {SatExport::ExtrairLogs, "ExtrairLogs|123456|codigo"},
        {SatExport::TesteFimAFim, "TesteFimAFim|123456|codigo|teste"},
        {SatExport::TrocarCodigoDeAtivacao,
         "TrocarCodigoDeAtivacao|123456|codigo|1|novo|confirmacao"},
        {SatExport::ConsultarNumeroSessao, "ConsultarNumeroSessao|123456|codigo|-77"},
        {SatExport::VersaoDLL, "VersaoDLL"},
    };
    for (const auto& row : rows) {
        QTest::newRow(SatExportName(row.which).data())
            << static_cast<int>(row.which) << QByteArray(row.answer);
    }
}

void TestSatBinding::callsReachTheirExport() {
    QFETCH(int, index);
    QFETCH(QByteArray, answer);
    const SatEntryPoints table = Resolved(ECHO_SAT_FULL);
    const SatExport which = SatExportAt(static_cast<std::size_t>(index));
    QVERIFY(IsSatEntryPointLoaded(table, which));
    QCOMPARE(QByteArray::fromStdString(Call(table, which)), answer);
}

void TestSatBinding::missingExportsStayNull_data() {
    QTest::addColumn<QByteArray>("library");
    QTest::addColumn<QByteArrayList>("missing");
    QTest::newRow("every export") << QByteArray(ECHO_SAT_FULL) << QByteArrayList();
    QTest::newRow("without the two unused")
        << QByteArray(ECHO_SAT_WITHOUT_UNUSED)
        << QByteArrayList{"ComunicarCertificadoICPBRASIL", "DesligarSAT"};
    QTest::newRow("without ConsultarSAT")
        << QByteArray(ECHO_SAT_WITHOUT_CONSULTAR) << QByteArrayList{"ConsultarSAT"};
    QTest::newRow("without several") << QByteArray(ECHO_SAT_WITHOUT_SEVERAL)
                                     << QByteArrayList{"AtivarSAT", "ExtrairLogs", "VersaoDLL"};
}

// Only the entries the library lacks are null; every other one still reaches
// its own export.
void TestSatBinding::missingExportsStayNull() {
    QFETCH(QByteArray, library);
    QFETCH(QByteArrayList, missing);
    const SatEntryPoints table = Resolved(library.constData());
    for (std::size_t i = 0; i < kSatExportCount; ++i) {
        const SatExport which = SatExportAt(i);
        const QByteArray name(SatExportName(which).data(), SatExportName(which).size());
        const bool expectMissing = missing.contains(name);
        QVERIFY2(IsSatEntryPointLoaded(table, which) != expectMissing, name.constData());
        if (!expectMissing) {
            QVERIFY2(QByteArray::fromStdString(Call(table, which)).startsWith(name),
                     name.constData());
        }
    }
}

void TestSatBinding::resolvingTwiceGivesTheSameTable() {
    const platform::LibraryHandle handle = Load(ECHO_SAT_WITHOUT_SEVERAL);
    QVERIFY(handle != nullptr);
    SatEntryPoints first;
    QVERIFY(ResolveSatEntryPoints(first, handle));
    SatEntryPoints second;
    ClearSatEntryPoints(second);
    QVERIFY(ResolveSatEntryPoints(second, handle));
    QVERIFY(SameTable(first, second));
}

// Resolving stores null for a missing export instead of keeping what an
// earlier library left in the entry.
void TestSatBinding::resolvingAgainNullsWhatTheNewLibraryLacks() {
    SatEntryPoints table = Resolved(ECHO_SAT_FULL);
    QVERIFY(ResolveSatEntryPoints(table, Load(ECHO_SAT_WITHOUT_SEVERAL)));
    QVERIFY(!IsSatEntryPointLoaded(table, SatExport::AtivarSAT));
    QVERIFY(!IsSatEntryPointLoaded(table, SatExport::ExtrairLogs));
    QVERIFY(!IsSatEntryPointLoaded(table, SatExport::VersaoDLL));
    QVERIFY(IsSatEntryPointLoaded(table, SatExport::ConsultarSAT));
}

void TestSatBinding::clearNullsEveryEntry() {
    SatEntryPoints table = Resolved(ECHO_SAT_FULL);
    ClearSatEntryPoints(table);
    QVERIFY(SameTable(table, SatEntryPoints{}));
    for (std::size_t i = 0; i < kSatExportCount; ++i) {
        QVERIFY(!IsSatEntryPointLoaded(table, SatExportAt(i)));
    }
}

void TestSatBinding::nullHandleResolvesNothing() {
    SatEntryPoints table;
    QVERIFY(ResolveSatEntryPoints(table, nullptr));
    QVERIFY(SameTable(table, SatEntryPoints{}));
}

void TestSatBinding::loadingTwiceGivesTheSameHandle() {
    const platform::LibraryHandle first = Load(ECHO_SAT_FULL);
    QVERIFY(first != nullptr);
    QCOMPARE(Load(ECHO_SAT_FULL), first);
}

void TestSatBinding::loadFailures_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("errorMentions");
    static QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QFile text(folder.filePath(QStringLiteral("libdllsat.so")));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("08000|SAT em opera\xC3\xA7\xC3\xA3o|||\n");
    text.close();
    QTest::newRow("bare file name")
        << QString::fromUtf8(platform::kSatLibraryFileName.data()) << QStringLiteral("absolute");
    QTest::newRow("relative path")
        << QStringLiteral("./libdllsat.so") << QStringLiteral("absolute");
    QTest::newRow("empty path") << QString() << QStringLiteral("absolute");
    QTest::newRow("no such file") << folder.filePath(QStringLiteral("missing.so"))
                                  << QStringLiteral("missing.so");
    QTest::newRow("not a library") << text.fileName() << QStringLiteral("libdllsat.so");
    QTest::newRow("a folder") << folder.path() << QString();
}

void TestSatBinding::loadFailures() {
    QFETCH(QString, path);
    QFETCH(QString, errorMentions);
    const platform::LibraryLoadResult loaded = platform::LoadLibraryByPath(path.toStdString());
    QVERIFY(loaded.handle == nullptr);
    QVERIFY(!loaded.error.empty());
    QVERIFY2(QString::fromStdString(loaded.error).contains(errorMentions), loaded.error.c_str());
}

void TestSatBinding::exportLookUpIsExact_data() {
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("found");
    QTest::newRow("exact") << QByteArray("ConsultarSAT") << true;
    QTest::newRow("lower case") << QByteArray("consultarsat") << false;
    QTest::newRow("trailing blank") << QByteArray("ConsultarSAT ") << false;
    QTest::newRow("prefix only") << QByteArray("Consultar") << false;
    QTest::newRow("not exported by the library") << QByteArray("Answer") << false;
}

void TestSatBinding::exportLookUpIsExact() {
    QFETCH(QByteArray, name);
    QFETCH(bool, found);
    const platform::LibraryHandle handle = Load(ECHO_SAT_FULL);
    QCOMPARE(platform::FindLibraryExport(handle, name.constData()) != nullptr, found);
    QVERIFY(platform::FindLibraryExport(nullptr, name.constData()) == nullptr);
    QVERIFY(platform::FindLibraryExport(handle, nullptr) == nullptr);
}

void TestSatBinding::programFolder() {
    QCOMPARE(QString::fromStdString(platform::ProgramFolder()),
             QString::fromUtf8(TEST_PROGRAM_FOLDER));
    QCOMPARE(QString::fromStdString(platform::SatLibraryPathBesideProgram()),
             QString::fromUtf8(TEST_PROGRAM_FOLDER) + QStringLiteral("libdllsat.so"));
}

QTEST_APPLESS_MAIN(TestSatBinding)
#include "test_sat_binding.moc"
