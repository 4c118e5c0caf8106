// Saves pictures of the main window for a person to look at: the entry
// sheet, each page of the page set and the wait panel over a slow call of our
// emulator (it answers after DVT_SAT_DELAY_MS milliseconds).
//
//   xvfb-run shell_screenshots OUTPUT_FOLDER

#include <QApplication>
#include <QDir>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

#include "dialogs/message_dialog.h"
#include "sat/un_global.h"
#include "ui/main_window.h"
#include "ui/page_set.h"

namespace {

bool Save(QWidget& window, const QString& folder, const QString& name) {
    QCoreApplication::processEvents();
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    const bool saved = window.grab().save(path);
    std::printf("%s %s\n", saved ? "saved" : "could not save", qPrintable(path));
    return saved;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    if (argc < 2) {
        std::fputs("usage: shell_screenshots OUTPUT_FOLDER\n", stderr);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);

    // The emulator keeps its device in a state file of this run only.
    QTemporaryDir scratch;
    qputenv("DVT_SAT_STATE", QFile::encodeName(scratch.filePath(QStringLiteral("state.txt"))));

    TFprincipal::Options options;
    options.showSplash = false;
    options.satLibraryPath = DVT_EMULATOR;
    options.satHostPath = DVT_SAT_HOST;
    options.settingsFilePath = scratch.filePath(QStringLiteral("dravovexa.ini")).toStdString();
    TFprincipal window(options);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fputs("the window was never shown\n", stderr);
        return 1;
    }
    QTest::qWait(400); // the first page reset
    bool ok = Save(window, folder, QStringLiteral("shell_entry"));

    SetNextMessageDialogAnswer(MessageResult::Ok); // the first query's outcome
    window.Image7Click();
    QTest::qWait(400);
    const char* pageNames[] = {"network", "activation",  "association", "certificate",
                               "queries", "maintenance", "status"};
    for (int i = 0; i < window.AdvPolyPager1->PageCount(); ++i) {
        window.AdvPolyPager1->SetActivePageIndex(i);
        ok =
            Save(window, folder, QStringLiteral("shell_page_") + QLatin1String(pageNames[i])) && ok;
    }

    window.AdvPolyPager1->SetActivePageIndex(4);
    qputenv("DVT_SAT_DELAY_MS", "1500");
    window.MostraAguarde(QStringLiteral("Efetuando Consulta Vexa®"));
    ok = Save(window, folder, QStringLiteral("shell_wait_panel")) && ok;
    SetNextMessageDialogAnswer(MessageResult::Ok);
    window.Session().RunConsultarSAT();
    window.FechaAguarde();
    ok = Save(window, folder, QStringLiteral("shell_after_call")) && ok;
    return ok ? 0 : 1;
}
