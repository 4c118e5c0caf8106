#include "ui/open_dialog.h"

#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLocale>
#include <QStringList>
#include <QWidget>

#include <optional>
#include <utility>

namespace {

// The answer scripted for the next Execute() of each kind: a file name, or
// the empty optional inside for a cancel.
using ScriptedAnswer = std::optional<std::optional<QString>>;

ScriptedAnswer& NextAnswer(TFileDialog::Kind kind) {
    static ScriptedAnswer open;
    static ScriptedAnswer save;
    return kind == TFileDialog::Kind::Open ? open : save;
}

// What the latest Execute() of each kind was asked: its filter and the
// file name it started with.
struct Request {
    QString filter;
    QString fileName;
};

Request& LastRequest(TFileDialog::Kind kind) {
    static Request open;
    static Request save;
    return kind == TFileDialog::Kind::Open ? open : save;
}

} // namespace

QVariant TFileListInPortuguese::data(const QModelIndex& index, int role) const {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    const int column = index.column();
    if (files == nullptr || role != Qt::DisplayRole ||
        (column != kSizeColumn && column != kKindColumn && column != kDateColumn)) {
        return QIdentityProxyModel::data(index, role);
    }
    const QFileInfo info = files->fileInfo(mapToSource(index));
    const QLocale brazil(QLocale::Portuguese, QLocale::Brazil);
    switch (column) {
    case kSizeColumn:
        return info.isDir()
                   ? QString()
                   : brazil.formattedDataSize(info.size(), 2, QLocale::DataSizeTraditionalFormat);
    case kKindColumn:
        if (info.isDir()) {
            return QStringLiteral("Pasta");
        }
        return info.suffix().isEmpty() ? QStringLiteral("Arquivo")
                                       : QStringLiteral("Arquivo ") + info.suffix().toUpper();
    default:
        return brazil.toString(info.lastModified(), QStringLiteral("dd/MM/yyyy HH:mm"));
    }
}

TFileDialog::TFileDialog(QWidget* owner, Kind kind) : QObject(owner), owner_(owner), kind_(kind) {}

TOpenDialog::TOpenDialog(QWidget* owner) : TFileDialog(owner, Kind::Open) {
    setObjectName(QStringLiteral("OpenDialog1"));
}

TSaveDialog::TSaveDialog(QWidget* owner) : TFileDialog(owner, Kind::Save) {
    setObjectName(QStringLiteral("SaveDialog"));
}

QString TFileDialog::QtNameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts.at(i).trimmed();
        QString patterns = i + 1 < parts.size() ? parts.at(i + 1).trimmed() : QString();
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (description.isEmpty() && patterns.isEmpty()) {
            continue;
        }
        // A description that shows its patterns already keeps them once.
        const QString shown = QStringLiteral("(") + patterns + QLatin1Char(')');
        filters.append(patterns.isEmpty() || description.endsWith(shown)
                           ? description
                           : description + QLatin1Char(' ') + shown);
    }
    return filters.join(QStringLiteral(";;"));
}

bool TFileDialog::Execute() {
    const bool open = kind_ == Kind::Open;
    LastRequest(kind_) = {Filter, FileName};
    if (ScriptedAnswer answer = std::exchange(NextAnswer(kind_), std::nullopt)) {
        if (!answer->has_value()) {
            return false;
        }
        FileName = **answer;
        return true;
    }

    // Qt's own dialog rather than the desktop's, so that its captions can be
    // given in the program's language on every platform.
    QFileDialog dialog(owner_);
    dialog.setObjectName(objectName() + QStringLiteral("_window"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setProxyModel(new TFileListInPortuguese(&dialog));
    dialog.setWindowTitle(open ? QStringLiteral("Abrir") : QStringLiteral("Salvar como"));
    dialog.setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setNameFilter(QtNameFilters(Filter));
    dialog.setLabelText(QFileDialog::LookIn,
                        open ? QStringLiteral("Examinar:") : QStringLiteral("Salvar em:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Nome do arquivo:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Arquivos do tipo:"));
    dialog.setLabelText(QFileDialog::Accept,
                        open ? QStringLiteral("Abrir") : QStringLiteral("Salvar"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Cancelar"));
    if (!FileName.isEmpty()) {
        dialog.selectFile(FileName);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return false;
    }
    FileName = dialog.selectedFiles().constFirst();
    return true;
}

void SetNextOpenDialogFile(const QString& fileName) {
    NextAnswer(TFileDialog::Kind::Open) = std::optional<QString>(fileName);
}

void SetNextOpenDialogCancel() {
    NextAnswer(TFileDialog::Kind::Open) = std::optional<QString>();
}

void SetNextSaveDialogFile(const QString& fileName) {
    NextAnswer(TFileDialog::Kind::Save) = std::optional<QString>(fileName);
}

void SetNextSaveDialogCancel() {
    NextAnswer(TFileDialog::Kind::Save) = std::optional<QString>();
}

QString LastOpenDialogFilter() {
    return LastRequest(TFileDialog::Kind::Open).filter;
}

QString LastSaveDialogFilter() {
    return LastRequest(TFileDialog::Kind::Save).filter;
}

QString LastSaveDialogFileName() {
    return LastRequest(TFileDialog::Kind::Save).fileName;
}
