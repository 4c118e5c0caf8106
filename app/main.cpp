// Program start: the application and its title, the single-instance guard,
// the main window, the message loop.
//
//   dravovexa [--sat-library FILE]
//
// --sat-library loads FILE as the SAT library instead of the one beside the
// program.

#include <QApplication>
#include <QFileInfo>
#include <QStyleFactory>

#include <cstdio>
#include <optional>

#include "dialogs/Clone.h"
#include "dialogs/pictures.h"
#include "ui/main_window.h"
#include "ui/qt_translations.h"

namespace {

struct CommandLine {
    QString satLibraryPath;
};

void PrintUsage() {
    std::fputs("uso: dravovexa [--sat-library ARQUIVO]\n", stderr);
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

int main(int argc, char** argv) {
    QApplication app(argc, argv);
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
