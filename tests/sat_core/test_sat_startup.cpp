// Start-up: finding the SAT library by its full path, loading and binding
// it, and the first ConsultarSAT that proves it alive. Run with the fake
// library's folder on LD_LIBRARY_PATH, so that a loader using the bare file
// name would find a library where none is beside the program.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>
#include <thread>

#include "sat/library_thread.h"
#include "sat/platform/sat_library_file.h"
#include "sat/un_global.h"
#include "tests/fake_sat/fake_sat_control.h"
#include "tests/sat_core/cp1252_literals.h"
#include "tests/sat_core/recording_user_interface.h"

Q_DECLARE_METATYPE(FakeSatVariant)

class SatStartupTest : public QObject {
    Q_OBJECT

private slots:
    void init();

    void libraryNotUsable_data();
    void libraryNotUsable();
    void firstQuery_data();
    void firstQuery();
    void libraryWithoutOptionalExportsWorks();
    void enteringTwiceQueriesTwice();
    void settingsNotBesideTheProgram_data();
    void settingsNotBesideTheProgram();
    void libraryStepsRunWhereTheInterfaceSays();
    void libraryThreadWaitsAndRethrows();

private:
    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<RecordingUserInterface> ui_;

    std::string InFolder(const char* name) const {
        return folder_->filePath(QString::fromLatin1(name)).toStdString();
    }
    std::string SettingsPath() const { return InFolder("dravovexa.ini"); }
};

void SatStartupTest::init() {
    folder_ = std::make_unique<QTemporaryDir>();
    QVERIFY(folder_->isValid());
    ui_ = std::make_unique<RecordingUserInterface>();
}

void SatStartupTest::libraryNotUsable_data() {
    QTest::addColumn<QByteArray>("beside");      // what lies where the library should be
    QTest::addColumn<QByteArrayList>("dialogs"); // UTF-8
    QTest::addColumn<bool>("loadErrorReported");

    QTest::newRow("nothing beside the program")
        << QByteArray("nothing") << QByteArrayList{"Biblioteca Vexa® não localizada !"} << false;
    QTest::newRow("a folder of that name")
        << QByteArray("folder") << QByteArrayList{"Biblioteca Vexa® não localizada !"} << false;
    QTest::newRow("a file that is no library") << QByteArray("text") << QByteArrayList{} << true;
}

void SatStartupTest::libraryNotUsable() {
    QFETCH(QByteArray, beside);
    QFETCH(QByteArrayList, dialogs);
    QFETCH(bool, loadErrorReported);

    FakeSat onSearchPath; // the library a bare-name load would find
    const std::string libraryPath = InFolder(platform::kSatLibraryFileName.data());
    if (beside == "folder") {
        QVERIFY(QDir().mkpath(QString::fromStdString(libraryPath)));
    } else if (beside == "text") {
        QFile file(QString::fromStdString(libraryPath));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a shared library\n");
    }

    SatSession session(*ui_, SettingsPath(), libraryPath);
    QVERIFY(!session.LoadSatLibrary());
    QCOMPARE(ui_->events, WList(dialogs));
    QVERIFY(!session.LibraryLoaded());
    QVERIFY(!session.HasExport(SatExport::ConsultarSAT));
    QCOMPARE(!session.LastLoadError().empty(), loadErrorReported);
    QCOMPARE(onSearchPath.CallCount("ConsultarSAT"), 0);
    QVERIFY(!QFile::exists(QString::fromStdString(SettingsPath()))); // no number drawn
}

void SatStartupTest::firstQuery_data() {
    QTest::addColumn<FakeSatVariant>("variant");
    QTest::addColumn<QByteArray>("answer"); // empty: the fake's own success answer
    QTest::addColumn<QByteArrayList>("events");
    QTest::addColumn<bool>("result");

    QTest::newRow("device in operation")
        << FakeSatVariant::Full << QByteArray()
        << QByteArrayList{"FechaAguarde", "08000\r\nSAT em operação[i]"} << true;
    QTest::newRow("ConsultarSAT missing: its text shown twice")
        << FakeSatVariant::WithoutConsultarSAT << QByteArray()
        << QByteArrayList{"ConsultarSAT não carregada[e]", "ConsultarSAT não carregada[e]"}
        << false;
    QTest::newRow("refused: outcome, then the five fields as an error")
        << FakeSatVariant::Full << QByteArray("1|08099|Erro desconhecido|")
        << QByteArrayList{"FechaAguarde", "08099\r\nErro desconhecido[i]",
                          "1|08099|Erro desconhecido||[e]"}
        << false;
    QTest::newRow("error text of the library, twice")
        << FakeSatVariant::Full << QByteArray("Porta serial indisponível")
        << QByteArrayList{"Porta serial indisponível[e]", "Porta serial indisponível[e]"} << false;
}

void SatStartupTest::firstQuery() {
    QFETCH(FakeSatVariant, variant);
    QFETCH(QByteArray, answer);
    QFETCH(QByteArrayList, events);
    QFETCH(bool, result);

    FakeSat fake(variant);
    if (!answer.isEmpty()) {
        fake.SetAnswer("ConsultarSAT", answer.toStdString());
    }
    SatSession session(*ui_, SettingsPath(), fake.LibraryPath());
    QCOMPARE(session.LoadSatLibrary(), result);
    QCOMPARE(ui_->events, WList(events));
    QVERIFY(session.LibraryLoaded());
    QCOMPARE(session.SessionNumber, 1);
    QVERIFY(session.HasExport(SatExport::BloquearSAT));
}

void SatStartupTest::libraryWithoutOptionalExportsWorks() {
    FakeSat fake(FakeSatVariant::WithoutOptional);
    SatSession session(*ui_, SettingsPath(), fake.LibraryPath());
    QVERIFY(session.LoadSatLibrary());
    QVERIFY(!session.HasExport(SatExport::ComunicarCertificadoICPBRASIL));
    QVERIFY(!session.HasExport(SatExport::DesligarSAT));
    for (std::size_t i = 0; i < kSatExportCount; ++i) {
        const SatExport which = SatExportAt(i);
        if (which != SatExport::ComunicarCertificadoICPBRASIL && which != SatExport::DesligarSAT) {
            QVERIFY2(session.HasExport(which), SatExportName(which).data());
        }
    }
    QVERIFY(session.RunBloquearSAT());
}

void SatStartupTest::enteringTwiceQueriesTwice() {
    FakeSat fake;
    SatSession session(*ui_, SettingsPath(), fake.LibraryPath());
    QVERIFY(session.LoadSatLibrary());
    QCOMPARE(fake.LastArguments("ConsultarSAT")[0].number, 1);

    // Loaded again (the same library), and queried again.
    QVERIFY(session.LoadSatLibrary());
    QVERIFY(session.LibraryLoaded());
    QCOMPARE(fake.CallCount("ConsultarSAT"), 2);
    QCOMPARE(fake.LastArguments("ConsultarSAT")[0].number, 2);
}

// A program folder that cannot be written (here: a regular file where the
// folder should be) sends the counter to the user's copy; when that cannot be
// written either, the start-up says so instead of showing an empty error.
void SatStartupTest::settingsNotBesideTheProgram_data() {
    QTest::addColumn<bool>("userCopyWritable");
    QTest::addColumn<bool>("result");
    QTest::newRow("the user's copy") << true << true;
    QTest::newRow("nowhere to write") << false << false;
}

void SatStartupTest::settingsNotBesideTheProgram() {
    QFETCH(bool, userCopyWritable);
    QFETCH(bool, result);

    QFile blocker(QString::fromStdString(InFolder("plain")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const std::string beside = InFolder("plain/dravovexa.ini");
    const std::string user =
        InFolder(userCopyWritable ? "config/dravovexa/dravovexa.ini" : "plain/cfg/dravovexa.ini");
    FakeSat fake;
    SatSession session(*ui_, beside, fake.LibraryPath(), user);

    QCOMPARE(session.LoadSatLibrary(), result);
    if (result) {
        QCOMPARE(ui_->events, WList({"FechaAguarde", "08000\r\nSAT em operação[i]"}));
        QFile copy(QString::fromStdString(user));
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), QByteArray("[VEXA]\nVEXAS=1\n"));
    } else {
        QCOMPARE(ui_->events,
                 QByteArrayList{W("Não foi possível gravar o arquivo de configurações") + "\r\n" +
                                QByteArray(beside.c_str()) + "\r\n" + QByteArray(user.c_str()) +
                                "[e]"});
        QCOMPARE(fake.CallCount("ConsultarSAT"), 0);
    }
}

// An interface that runs every library step on a library thread, as the
// window does: the load, the resolution and every call go there, and only
// there; dialogs stay on the caller's thread.
void SatStartupTest::libraryStepsRunWhereTheInterfaceSays() {
    struct ThreadedInterface : RecordingUserInterface {
        SatLibraryThread thread;
        int steps = 0;
        void RunLibraryCall(const std::function<void()>& step) override {
            ++steps;
            thread.Start(step);
            thread.Wait();
        }
    } threaded;
    FakeSat fake;
    fake.SetAnswer("EnviarDadosVenda", "1|06001|Código de ativação inválido||");
    SatSession session(threaded, SettingsPath(), fake.LibraryPath());
    QVERIFY(session.LoadSatLibrary());
    QCOMPARE(session.RunVersaoDLL(), std::string("01.00.00"));
    QVERIFY(!session.RunEnviarDadosVenda());
    QCOMPARE(threaded.steps, 4); // load and resolve, ConsultarSAT, VersaoDLL, EnviarDadosVenda
    QCOMPARE(fake.CallerThreadCount(), 1);
    QVERIFY(!fake.CalledFromThisThread());
    QCOMPARE(threaded.Dialogs().size(), 2); // both outcomes, on this thread
    QCOMPARE(session.LastResponse.substr(0, 8), std::string("1|06001|"));
}

void SatStartupTest::libraryThreadWaitsAndRethrows() {
    SatLibraryThread thread;
    QVERIFY(thread.Wait(std::chrono::milliseconds(0))); // nothing started
    std::atomic<bool> release = false;
    std::atomic<bool> finished = false;
    thread.Start(
        [&] {
            while (!release) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        },
        [&] { finished = true; });
    QVERIFY(!thread.Wait(std::chrono::milliseconds(30)));
    QVERIFY(thread.Busy());
    release = true;
    QVERIFY(thread.Wait());
    QTRY_VERIFY(finished.load());

    thread.Start([] { throw std::runtime_error("library step failed"); });
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, thread.Wait());
    QVERIFY(thread.Wait()); // the failure is reported once
}

QTEST_APPLESS_MAIN(SatStartupTest)
#include "test_sat_startup.moc"
