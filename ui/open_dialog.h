#pragma once
// The window's file dialogs: OpenDialog1, through which the user picks a
// sale or cancellation document, and the result memos' "Salvar como..."
// dialog. Every file choice of the program goes through Execute(), and tests
// answer it ahead (SetNextOpenDialogFile, SetNextSaveDialogFile, or their
// Cancel) instead of driving a real dialog.

#include <QIdentityProxyModel>
#include <QObject>
#include <QString>

class QWidget;

class TFileDialog : public QObject {
    Q_OBJECT

public:
    enum class Kind { Open, Save };

    TFileDialog(QWidget* owner, Kind kind);

    // Filter in the toolkit's form: description and pattern separated by
    // "|", several pairs one after the other ("*.(xml)|*.xml"); a pattern
    // may hold several masks separated by ";".
    QString Filter;
    // The file chosen by the last Execute() that was accepted; set before it,
    // the name the dialog starts with.
    QString FileName;

    // Shows the dialog modally over the owner window. True, with FileName
    // set, when the user chose a file (to open: an existing one; to save:
    // any, an existing one after Qt's confirmation); false when they
    // cancelled.
    bool Execute();

    // The same filter in Qt's form: "*.(xml) (*.xml)", pairs joined by ";;".
    // A description without a pattern, or one that ends with its patterns in
    // parentheses already ("Texto (*.txt)"), is kept alone.
    static QString QtNameFilters(const QString& filter);

private:
    QWidget* owner_ = nullptr;
    Kind kind_;
};

// What Qt's file dialog lists, with the texts its translation leaves as they
// are, or takes from the system's locale rather than the program's, given in
// Brazilian Portuguese: the kind of an entry ("Pasta", "Arquivo XML" rather
// than "Folder", "xml File"), the date it was changed (dd/MM/aaaa hh:mm) and
// its size ("1,50 kB").
class TFileListInPortuguese : public QIdentityProxyModel {
    Q_OBJECT

public:
    using QIdentityProxyModel::QIdentityProxyModel;

    // The columns of Qt's file system model.
    static constexpr int kSizeColumn = 1;
    static constexpr int kKindColumn = 2;
    static constexpr int kDateColumn = 3;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
};

class TOpenDialog : public TFileDialog {
    Q_OBJECT

public:
    explicit TOpenDialog(QWidget* owner);
};

class TSaveDialog : public TFileDialog {
    Q_OBJECT

public:
    explicit TSaveDialog(QWidget* owner);
};

// For tests: the next Execute() of an open (save) dialog returns at once as
// if the user had chosen `fileName` (which need not exist), or had
// cancelled. One shot: later calls show the dialog again.
void SetNextOpenDialogFile(const QString& fileName);
void SetNextOpenDialogCancel();
void SetNextSaveDialogFile(const QString& fileName);
void SetNextSaveDialogCancel();

// For tests: the filter of the latest open (save) dialog's Execute(),
// answered ahead or shown, and the file name the save dialog started with.
QString LastOpenDialogFilter();
QString LastSaveDialogFilter();
QString LastSaveDialogFileName();
