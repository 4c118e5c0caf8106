// Program start: the application and its title, the single-instance guard,
// the main window, the message loop.
//
//   dravovexa [--sat-library FILE] [--help]
//
// --sat-library loads FILE as the SAT library instead of the one beside the
// program. Without a display the program says so in a sentence and ends
// with status 1, instead of Qt's abort.

#include <QApplication>
#include <QFileInfo>
#include <QStyleFactory>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

#include "dialogs/Clone.h"
#include "dialogs/pictures.h"
#include "ui/main_window.h"
#include "ui/qt_translations.h"

namespace {

struct CommandLine {
    QString satLibraryPath;
};

constexpr char kUsage[] =
    "uso: dravovexa [--sat-library ARQUIVO]\n"
    "\n"
    "Abre a janela do Dravo Vexa Tarvik®, que opera o equipamento SAT pela\n"
    "biblioteca SAT ao lado do programa.\n"
    "\n"
    "  --sat-library ARQUIVO   usa esta biblioteca SAT em vez da que está ao lado\n"
    "                          do programa\n"
    "  --help, -h              mostra este texto\n"
    "\n"
    "Sem tela gráfica, use dravovexa-cli.\n";

constexpr char kNoDisplay[] =
    "dravovexa: não foi possível abrir a janela: nenhuma tela gráfica disponível.\n"
    "Para operar o equipamento SAT sem tela gráfica, use dravovexa-cli.\n";

// --help is answered before Qt starts, so that it works without a display.
bool AsksForHelp(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            return true;
        }
    }
    return false;
}

// While the application starts, Qt ends the process with a fatal message
// (and an abort) when it finds no display. That ending is turned into a
// Portuguese sentence and status 1; Qt's own warnings about the display
// that come before it are held back.
bool g_startingApplication = false;
QtMessageHandler g_qtMessageHandler = nullptr;

void StartupMessageHandler(QtMsgType type, const QMessageLogContext& context,
                           const QString& message) {
    if (g_startingApplication) {
        if (type == QtFatalMsg) {
            std::fputs(kNoDisplay, stderr);
            std::_Exit(1);
        }
        if (context.category != nullptr && std::strncmp(context.category, "qt.qpa", 6) == 0) {
            return;
        }
    }
    if (g_qtMessageHandler != nullptr) {
        g_qtMessageHandler(type, context, message);
    } else {
        std::fprintf(stderr, "%s\n", qUtf8Printable(message));
    }
}

void PrintUsage() {
    std::fputs(kUsage, stderr);
}

// Qt's own options (-platform, -style ...) are already gone from the
// arguments. Anything else that is not ours is refused, not ignored.
std::optional<CommandLine> ReadCommandLine(const QStringList& arguments) {
    CommandLine line;
    const QString option = QStringLiteral("--sat-library");
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == option) {
            if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) {
                std::fputs("dravovexa: --sat-library precisa do caminho de um arquivo\n", stderr);
                return std::nullopt;
            }
            line.satLibraryPath = arguments[++i];
        } else if (argument.startsWith(option + u'=') && argument.size() > option.size() + 1) {
            line.satLibraryPath = argument.mid(option.size() + 1);
        } else {
            std::fprintf(stderr, "dravovexa: opção desconhecida: %s\n",
                         argument.toLocal8Bit().constData());
            return std::nullopt;
        }
    }
    return line;
}

} // namespace

// The application, or a sentence and status 1 when there is no display.
QApplication* StartApplication(int& argc, char** argv) {
    g_qtMessageHandler = qInstallMessageHandler(StartupMessageHandler);
    g_startingApplication = true;
    auto* app = new QApplication(argc, argv);
    g_startingApplication = false;
    qInstallMessageHandler(g_qtMessageHandler);
    return app;
}

int main(int argc, char** argv) {
    if (AsksForHelp(argc, argv)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const std::unique_ptr<QApplication> application(StartApplication(argc, argv));
    QApplication& app = *application;
    // The application title; window titles carry the window's own caption.
    QApplication::setApplicationName(QStringLiteral("Dravo Vexa Tarvik®"));
    QGuiApplication::setDesktopFileName(QStringLiteral("dravovexa"));
    InstallQtTranslations(app, QtTranslationFolders());

    const std::optional<CommandLine> line = ReadCommandLine(QCoreApplication::arguments());
    if (!line) {
        PrintUsage();
        return 2;
    }

    // One running copy: a second one ends here, before any window, silently.
    TVodevuCloneControl VodevuCloneControl1;
    VodevuCloneControl1.setObjectName(QStringLiteral("VodevuCloneControl1"));
    VodevuCloneControl1.SetAction(clcNone);
    VodevuCloneControl1.SetTerminationStyle(tsHalt);
    VodevuCloneControl1.SetMaxInstance(1);
    VodevuCloneControl1.Loaded();

    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setWindowIcon(PictureIcon(QStringLiteral("window_icon"), QSize(64, 64)));

    TFprincipal::Options options;
    if (!line->satLibraryPath.isEmpty()) {
        // The library is always loaded by a full path.
        options.satLibraryPath =
            QFile::encodeName(QFileInfo(line->satLibraryPath).absoluteFilePath()).toStdString();
    }
    TFprincipal Fprincipal(options);
    Fprincipal.show();
    return app.exec();
}
