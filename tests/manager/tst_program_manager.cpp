// The program manager component: the values it starts with, its setter
// rules, the splash it shows and the message entry it hosts.

#include "dialogs/message_dialog.h"
#include "dialogs/splash_form.h"
#include "dialogs/threaded_timer.h"
#include "manager/didiz_ivodazu_rivivaz.h"
#include "tests/dialogs/modal_driver.h"

#include <QLabel>
#include <QTest>

class TestProgramManager : public QObject {
    Q_OBJECT

private slots:
    void valuesAfterConstruction_data();
    void valuesAfterConstruction();
    void setterRules_data();
    void setterRules();
    void exeVersionWithoutResource();
    void splashInterval_data();
    void splashInterval();
    void splashLabels_data();
    void splashLabels();
    void messageEntry();
};

void TestProgramManager::valuesAfterConstruction_data() {
    QTest::addColumn<QString>("property");
    QTest::addColumn<QVariant>("value");
    const auto text = [](const char* property, const QString& value) {
        QTest::newRow(property) << QString::fromLatin1(property) << QVariant(value);
    };
    text("ProgramName", QString());
    text("VersaoDoPrograma", QStringLiteral("1.00"));
    text("Versao_Manager", QStringLiteral("1.05"));
    text("TituloDoPrograma", QStringLiteral("Dravo Programa ®"));
    text("BuildDoPrograma", QStringLiteral("1.0.0.0"));
    text("ArquivoDeControle", QStringLiteral("meuprograma.dll"));
    text("ArquivoDeConfiguracao", QStringLiteral("meuprograma.cfg"));
    text("ParametrosDeExecucao", QStringLiteral("prm1 prm2 ..."));
    text("PathDaRede", QStringLiteral("F:\\diretorio\\"));
    text("ArquivoDaRede", QStringLiteral("F:\\diretorio\\arquivo.dll"));
    text("UpdateMessage", QStringLiteral("Há uma nova versão do aplicativo disponível.\r"
                                         "A atualização automática será iniciada."));
    text("FTPHost", QString());
    text("FTPUser", QString());
    text("FTPPassword", QString());
    text("FTPDir", QString());
    QTest::newRow("FTPPassive") << QStringLiteral("FTPPassive") << QVariant(false);
    QTest::newRow("OptionalUpdate") << QStringLiteral("OptionalUpdate") << QVariant(false);
}

void TestProgramManager::valuesAfterConstruction() {
    QFETCH(QString, property);
    QFETCH(QVariant, value);
    TVUDuvivededavo manager;
    QCOMPARE(manager.property(property.toLatin1().constData()), value);
}

// Values assigned in turn, by property name as the window's settings are,
// and the value that stays.
void TestProgramManager::setterRules_data() {
    QTest::addColumn<QString>("property");
    QTest::addColumn<QStringList>("assigned");
    QTest::addColumn<QString>("stays");
    QTest::newRow("name: first non-empty wins")
        << QStringLiteral("ProgramName")
        << QStringList{QStringLiteral("ravor_eduz"), QStringLiteral("outro")}
        << QStringLiteral("ravor_eduz");
    QTest::newRow("name: empty values do not count")
        << QStringLiteral("ProgramName")
        << QStringList{QString(), QStringLiteral("ravor_eduz"), QString(), QStringLiteral("x")}
        << QStringLiteral("ravor_eduz");
    QTest::newRow("name: only empty values")
        << QStringLiteral("ProgramName") << QStringList{QString(), QString()} << QString();
    QTest::newRow("manager version is fixed")
        << QStringLiteral("Versao_Manager") << QStringList{QStringLiteral("2.00"), QString()}
        << QStringLiteral("1.05");
    QTest::newRow("program version stores")
        << QStringLiteral("VersaoDoPrograma")
        << QStringList{QStringLiteral("1.17"), QStringLiteral("1.18")} << QStringLiteral("1.18");
    QTest::newRow("title stores") << QStringLiteral("TituloDoPrograma")
                                  << QStringList{QStringLiteral("Dravo Vexa Tarvik ®")}
                                  << QStringLiteral("Dravo Vexa Tarvik ®");
    QTest::newRow("build stores even empty")
        << QStringLiteral("BuildDoPrograma") << QStringList{QStringLiteral("0.0.0.17"), QString()}
        << QString();
}

void TestProgramManager::setterRules() {
    QFETCH(QString, property);
    QFETCH(QStringList, assigned);
    QFETCH(QString, stays);
    TVUDuvivededavo manager;
    const QByteArray name = property.toLatin1();
    for (const QString& value : assigned) {
        QVERIFY(manager.setProperty(name.constData(), value));
    }
    QCOMPARE(manager.property(name.constData()).toString(), stays);
}

void TestProgramManager::exeVersionWithoutResource() {
    // A test program on this platform has no version resource.
    TVUDuvivededavo manager;
    QCOMPARE(manager.ExeVersion(), QString());
    QVERIFY(!manager.setProperty("ExeVersion", QStringLiteral("9.9.9.9")));
}

void TestProgramManager::splashInterval_data() {
    QTest::addColumn<int>("interval");
    QTest::addColumn<int>("used");
    QTest::newRow("zero") << 0 << 3000;
    QTest::newRow("negative") << -100 << 3000;
    QTest::newRow("window's 1000") << 1000 << 3000;
    QTest::newRow("just below") << 2999 << 3000;
    QTest::newRow("minimum") << 3000 << 3000;
    QTest::newRow("longer") << 5000 << 5000;
}

void TestProgramManager::splashInterval() {
    QFETCH(int, interval);
    QFETCH(int, used);
    TVUDuvivededavo manager;
    int closingInterval = -1;
    bool fadeStarted = false;
    DriveNextModal<TFSplashForm>([&](TFSplashForm* splash) {
        closingInterval = splash->ThreadedTimer1()->Interval();
        fadeStarted = splash->ThreadedTimer2()->Enabled();
        splash->close();
    });
    manager.ShowSplash(interval, QStringLiteral("0"));
    QCOMPARE(closingInterval, used);
    QVERIFY(fadeStarted);
    // The splash is gone once ShowSplash returns.
    for (QWidget* top : QApplication::topLevelWidgets()) {
        QVERIFY(qobject_cast<TFSplashForm*>(top) == nullptr);
    }
}

void TestProgramManager::splashLabels_data() {
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("build");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("line");
    QTest::newRow("after construction")
        << QString() << QString() << QStringLiteral("0") << QStringLiteral("Dravo Programa ®")
        << QStringLiteral("versão 1.00( build 1.0.0.0.0 )");
    QTest::newRow("main window's values")
        << QStringLiteral("1.17") << QStringLiteral("0.0.0.17") << QStringLiteral("0")
        << QStringLiteral("Dravo Vexa Tarvik ®")
        << QStringLiteral("versão 1.17( build 0.0.0.17.0 )");
    QTest::newRow("empty suffix") << QStringLiteral("2.0") << QStringLiteral("2.0.0.1") << QString()
                                  << QStringLiteral("T")
                                  << QStringLiteral("versão 2.0( build 2.0.0.1. )");
}

void TestProgramManager::splashLabels() {
    QFETCH(QString, version);
    QFETCH(QString, build);
    QFETCH(QString, suffix);
    QFETCH(QString, title);
    QFETCH(QString, line);
    TVUDuvivededavo manager;
    if (!version.isEmpty()) {
        manager.setVersaoDoPrograma(version);
        manager.setBuildDoPrograma(build);
        manager.setTituloDoPrograma(title);
    }
    QString shownTitle;
    QString shownLine;
    DriveNextModal<TFSplashForm>([&](TFSplashForm* splash) {
        shownTitle = splash->lbl_titulo()->text();
        shownLine = splash->lbl_versao()->text();
        // The whole line fits on the label.
        QVERIFY(splash->lbl_versao()->width() >=
                splash->lbl_versao()->fontMetrics().horizontalAdvance(shownLine));
        splash->close();
    });
    manager.ShowSplash(1000, suffix);
    QCOMPARE(shownTitle, title);
    QCOMPARE(shownLine, line);
}

void TestProgramManager::messageEntry() {
    TVUDuvivededavo manager;
    SetNextMessageDialogAnswer(6);
    QCOMPARE(int(manager.ShowMessageDialog(QStringLiteral("Bloquear?[sn]"))), 6);
    SetNextMessageDialogAnswer(7);
    QCOMPARE(int(manager.ShowMessageDialog(std::string("Desbloquear?[sn]"))), 7);
    QCOMPARE(LastMessageDialogText(), QStringLiteral("Desbloquear?[sn]"));

    // Without a scripted answer the real dialog opens and answers.
    DriveNextModal<TFMensagem>([](TFMensagem* dialog) { QTest::keyClick(dialog, Qt::Key_N); });
    QCOMPARE(int(manager.ShowMessageDialog(QStringLiteral("Continuar?[sn]"))), 7);
}

QTEST_MAIN(TestProgramManager)
#include "tst_program_manager.moc"
