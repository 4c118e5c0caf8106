// The SAT entry-point table filled from the fake SAT library's variants
// through the platform loader the program uses.

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <string>
#include <string_view>

#include "rules/cp1252.h"
#include "sat/platform/dynamic_library.h"
#include "sat/platform/program_folder.h"
#include "sat/platform/sat_library_file.h"
#include "sat/un_funcoes_dll.h"
#include "tests/fake_sat/fake_sat_control.h"

namespace {

constexpr std::int32_t kSession = 123456;

platform::LibraryHandle Load(const char* path) {
    const platform::LibraryLoadResult loaded = platform::LoadLibraryByPath(path);
    if (loaded.handle == nullptr) {
        qWarning("cannot load %s: %s", path, loaded.error.c_str());
    }
    return loaded.handle;
}

platform::LibraryHandle Load(FakeSatVariant variant) {
    return Load(FakeSatLibraryPath(variant).c_str());
}

SatEntryPoints Resolved(FakeSatVariant variant) {
    SatEntryPoints table;
    ClearSatEntryPoints(table);
    ResolveSatEntryPoints(table, Load(variant));
    return table;
}

// The arguments of the last call of an export, numbers bare and texts quoted,
// so that a row shows each argument's place and kind.
QByteArray Recorded(const FakeSat& fake, std::string_view exportName) {
    QByteArrayList fields;
    for (const FakeSatArgument& argument : fake.LastArguments(exportName)) {
        switch (argument.kind) {
        case FakeSatArgument::Kind::Number:
            fields << QByteArray::number(argument.number);
            break;
        case FakeSatArgument::Kind::Text:
            fields << '\'' + QByteArray::fromStdString(argument.text) + '\'';
            break;
        case FakeSatArgument::Kind::NullText:
            fields << "null";
            break;
        }
    }
    return fields.join('|');
}

// Calls one entry with fixed arguments, each one different, so that the fake
// library's record shows whether every argument arrived in its place.
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
    QTest::addColumn<QByteArray>("arguments");
    const struct {
        SatExport which;
        const char* arguments;
    } rows[] = {
        {SatExport::AssociarAssinatura, "123456|'codigo'|'cnpjs'|'assinatura'"},
        {SatExport::AtivarSAT, "123456|2|'codigo'|'cnpj'|35"},
        {SatExport::AtualizarSoftwareSAT, "123456|'codigo'"},
        {SatExport::BloquearSAT, "123456|'codigo'"},
        {SatExport::CancelarUltimaVenda, "123456|'codigo'|'chave'|'cancelamento'"},
        {SatExport::ComunicarCertificadoICPBRASIL, "123456|'codigo'|'certificado'"},
        {SatExport::ConfigurarInterfaceDeRede, "123456|'codigo'|'<config/>'"},
        {SatExport::ConsultarSAT, "123456"},
        {SatExport::DesligarSAT, ""},
        {SatExport::ConsultarStatusOperacional, "123456|'codigo'"},
        {SatExport::DesbloquearSAT, "123456|'codigo'"},
        {SatExport::EnviarDadosVenda, "123456|'codigo'|'venda'"},
        {SatExport::ExtrairLogs, "123456|'codigo'"},
        {SatExport::TesteFimAFim, "123456|'codigo'|'teste'"},
        {SatExport::TrocarCodigoDeAtivacao, "123456|'codigo'|1|'novo'|'confirmacao'"},
        {SatExport::ConsultarNumeroSessao, "123456|'codigo'|-77"},
        {SatExport::VersaoDLL, ""},
    };
    for (const auto& row : rows) {
        QTest::newRow(SatExportName(row.which).data())
            << static_cast<int>(row.which) << QByteArray(row.arguments);
    }
}

// The entry reaches its own export alone, once, with every argument in its
// place, and hands back that export's answer.
void TestSatBinding::callsReachTheirExport() {
    QFETCH(int, index);
    QFETCH(QByteArray, arguments);
    const SatExport which = SatExportAt(static_cast<std::size_t>(index));
    const std::string name(SatExportName(which));
    FakeSat fake;
    fake.SetAnswer(name, "answer of " + name);
    const SatEntryPoints table = Resolved(FakeSatVariant::Full);
    QVERIFY(IsSatEntryPointLoaded(table, which));
    QCOMPARE(QByteArray::fromStdString(Call(table, which)),
             QByteArray::fromStdString("answer of " + name));
    QCOMPARE(QByteArray::fromStdString(fake.CallSequence()), QByteArray::fromStdString(name));
    QCOMPARE(Recorded(fake, name), arguments);
}

void TestSatBinding::missingExportsStayNull_data() {
    QTest::addColumn<int>("variant");
    QTest::addColumn<QByteArrayList>("missing");
    QTest::newRow("every export") << static_cast<int>(FakeSatVariant::Full) << QByteArrayList();
    QTest::newRow("without the two unused")
        << static_cast<int>(FakeSatVariant::WithoutOptional)
        << QByteArrayList{"ComunicarCertificadoICPBRASIL", "DesligarSAT"};
    QTest::newRow("without ConsultarSAT")
        << static_cast<int>(FakeSatVariant::WithoutConsultarSAT) << QByteArrayList{"ConsultarSAT"};
    QTest::newRow("without several") << static_cast<int>(FakeSatVariant::WithoutSeveral)
                                     << QByteArrayList{"AtivarSAT", "ExtrairLogs", "VersaoDLL"};
}

// Only the entries the library lacks are null; every other one still reaches
// its own export.
void TestSatBinding::missingExportsStayNull() {
    QFETCH(int, variant);
    QFETCH(QByteArrayList, missing);
    FakeSat fake(static_cast<FakeSatVariant>(variant));
    const SatEntryPoints table = Resolved(static_cast<FakeSatVariant>(variant));
    for (std::size_t i = 0; i < kSatExportCount; ++i) {
        const SatExport which = SatExportAt(i);
        const QByteArray name(SatExportName(which).data(), SatExportName(which).size());
        const bool expectMissing = missing.contains(name);
        QVERIFY2(IsSatEntryPointLoaded(table, which) != expectMissing, name.constData());
        if (!expectMissing) {
            fake.Reset();
            Call(table, which);
            QVERIFY2(fake.CallSequence() == name.toStdString(), name.constData());
        }
    }
}

void TestSatBinding::resolvingTwiceGivesTheSameTable() {
    const platform::LibraryHandle handle = Load(FakeSatVariant::WithoutSeveral);
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
    SatEntryPoints table = Resolved(FakeSatVariant::Full);
    QVERIFY(ResolveSatEntryPoints(table, Load(FakeSatVariant::WithoutSeveral)));
    QVERIFY(!IsSatEntryPointLoaded(table, SatExport::AtivarSAT));
    QVERIFY(!IsSatEntryPointLoaded(table, SatExport::ExtrairLogs));
    QVERIFY(!IsSatEntryPointLoaded(table, SatExport::VersaoDLL));
    QVERIFY(IsSatEntryPointLoaded(table, SatExport::ConsultarSAT));
}

void TestSatBinding::clearNullsEveryEntry() {
    SatEntryPoints table = Resolved(FakeSatVariant::Full);
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
    const platform::LibraryHandle first = Load(FakeSatVariant::Full);
    QVERIFY(first != nullptr);
    QCOMPARE(Load(FakeSatVariant::Full), first);
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
    const platform::LibraryHandle handle = Load(FakeSatVariant::Full);
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
