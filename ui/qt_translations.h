#pragma once
// Qt's own texts (the file dialog's columns and places, the memos' "Copiar /
// Selecionar tudo" menu, standard buttons) in Brazilian Portuguese, like
// every other text of the program.

#include <QStringList>

class QCoreApplication;

// Where Qt's translation files are looked for, in order: a "translations"
// folder beside the program (a self-contained install ships its own), then
// Qt's own translations folder.
QStringList QtTranslationFolders();

// Loads Qt's base translation for Brazilian Portuguese ("qtbase_pt_BR.qm")
// from the first of folders that holds it and installs it in app, which
// keeps it. False when no folder holds it: Qt's texts then stay in English.
bool InstallQtTranslations(QCoreApplication& app, const QStringList& folders);
