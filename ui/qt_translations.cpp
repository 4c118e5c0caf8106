#include "ui/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

QStringList QtTranslationFolders() {
    return {QCoreApplication::applicationDirPath() + QStringLiteral("/translations"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
}

bool InstallQtTranslations(QCoreApplication& app, const QStringList& folders) {
    const QLocale brazilianPortuguese(QLocale::Portuguese, QLocale::Brazil);
    for (const QString& folder : folders) {
        auto* translator = new QTranslator(&app);
        if (translator->load(brazilianPortuguese, QStringLiteral("qtbase"), QStringLiteral("_"),
                             folder) &&
            QCoreApplication::installTranslator(translator)) {
            return true;
        }
        delete translator;
    }
    return false;
}
