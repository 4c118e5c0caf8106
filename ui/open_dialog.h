#pragma once
// The window's open-file dialog OpenDialog1, through which the user picks a
// sale or cancellation document. Every file choice of the program goes
// through Execute(), and tests answer it ahead with SetNextOpenDialogFile or
// SetNextOpenDialogCancel instead of driving a real dialog.

#include <QObject>
#include <QString>

class QWidget;

class TOpenDialog : public QObject {
    Q_OBJECT

public:
    explicit TOpenDialog(QWidget* owner);

    // Filter in the toolkit's form: description and pattern separated by
    // "|", several pairs one after the other ("*.(xml)|*.xml"); a pattern
    // may hold several masks separated by ";".
    QString Filter;
    // The file chosen by the last Execute() that was accepted.
    QString FileName;

    // Shows the dialog modally over the owner window. True, with FileName
    // set, when the user chose an existing file; false when they cancelled.
    bool Execute();

    // The same filter in Qt's form: "*.(xml) (*.xml)", pairs joined by ";;".
    // A description without a pattern keeps the description alone.
    static QString QtNameFilters(const QString& filter);

private:
    QWidget* owner_ = nullptr;
};

// For tests: the next Execute() returns at once as if the user had chosen
// `fileName` (which need not exist), or had cancelled. One shot: later calls
// show the dialog again.
void SetNextOpenDialogFile(const QString& fileName);
void SetNextOpenDialogCancel();

// For tests: the filter of the latest Execute(), answered ahead or shown.
QString LastOpenDialogFilter();
