#include "ui/open_dialog.h"

#include <QFileDialog>
#include <QStringList>
#include <QWidget>

#include <optional>
#include <utility>

namespace {

// The answer scripted for the next Execute(): a file name, or the empty
// optional inside for a cancel.
std::optional<std::optional<QString>>& NextAnswer() {
    static std::optional<std::optional<QString>> answer;
    return answer;
}

QString& LastFilter() {
    static QString filter;
    return filter;
}

} // namespace

TOpenDialog::TOpenDialog(QWidget* owner) : QObject(owner), owner_(owner) {
    setObjectName(QStringLiteral("OpenDialog1"));
}

QString TOpenDialog::QtNameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts.at(i).trimmed();
        QString patterns = i + 1 < parts.size() ? parts.at(i + 1).trimmed() : QString();
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (description.isEmpty() && patterns.isEmpty()) {
            continue;
        }
        filters.append(patterns.isEmpty()
                           ? description
                           : description + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return filters.join(QStringLiteral(";;"));
}

bool TOpenDialog::Execute() {
    LastFilter() = Filter;
    if (std::optional<std::optional<QString>> answer = std::exchange(NextAnswer(), std::nullopt)) {
        if (!answer->has_value()) {
            return false;
        }
        FileName = **answer;
        return true;
    }

    // Qt's own dialog rather than the desktop's, so that its captions can be
    // given in the program's language on every platform.
    QFileDialog dialog(owner_);
    dialog.setObjectName(QStringLiteral("OpenDialog1_window"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setWindowTitle(QStringLiteral("Abrir"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilter(QtNameFilters(Filter));
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Examinar:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Nome do arquivo:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Arquivos do tipo:"));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Abrir"));
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
    NextAnswer() = std::optional<QString>(fileName);
}

void SetNextOpenDialogCancel() {
    NextAnswer() = std::optional<QString>();
}

QString LastOpenDialogFilter() {
    return LastFilter();
}
