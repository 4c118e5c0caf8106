#pragma once
// Page 4, queries and tests: the general query, the operational status, the
// lookup of an earlier session, the log extraction, the end-to-end test, a
// sale sent from a document file and the cancellation of the last sale. Each
// button runs one SAT operation in the wait-panel frame and appends the
// operation's result text to memo_retorno; the outcome dialogs come from the
// operations themselves.

#include <QString>
#include <functional>

#include <string>

#include "ui/pages/page_base.h"

class QLabel;
class QPushButton;
class TOpenDialog;
class TResultMemo;
class TYEditNumeric;

class TQueriesPage : public TPageBase {
    Q_OBJECT

public:
    static constexpr int kSessionNumberDigits = 6;

    explicit TQueriesPage(TPageHost& host, QWidget* parent = nullptr);

    // The buttons' handlers, bound to their clicks.
    void btn_01Click(); // ConsultarSAT
    void btn_02Click(); // ConsultarStatusOperacional
    void btn_03Click(); // ConsultarNumeroSessao of the session typed in btn_03_ed
    void btn_04Click(); // ExtrairLogs
    void btn_05Click(); // TesteFimAFim with the built-in test sale
    void btn_06Click(); // EnviarDadosVenda of a document file
    void btn_07Click(); // CancelarUltimaVenda of a document file and a typed key
    // The session edit selects its whole text when it gets the focus.
    void btn_03_edEnter();

    // Appends a Windows-1252 text as one more line of memo_retorno (its own
    // line breaks, CR LF, LF or CR, start further lines).
    void AppendRetorno(const std::string& cp1252Text);

    QLabel* Label38 = nullptr;
    QPushButton* btn_01 = nullptr;
    QLabel* Label40 = nullptr;
    QPushButton* btn_02 = nullptr;
    QLabel* Label41 = nullptr;
    TYEditNumeric* btn_03_ed = nullptr;
    QPushButton* btn_03 = nullptr;
    QLabel* Label42 = nullptr;
    QPushButton* btn_04 = nullptr;
    QLabel* Label11 = nullptr;
    QPushButton* btn_05 = nullptr;
    QLabel* Label37 = nullptr;
    QPushButton* btn_06 = nullptr;
    QPushButton* btn_07 = nullptr;
    QLabel* Label76 = nullptr;
    // The page's result texts: read-only, built for logs of tens of MB.
    TResultMemo* memo_retorno = nullptr;
    QLabel* Label77 = nullptr;
    // The window's open-file dialog for sale and cancellation documents.
    TOpenDialog* OpenDialog1 = nullptr;

private:
    // The default activation code of the network page, as ConfereCodigoPadrao
    // left it (trimmed).
    std::string DefaultActivationCode() const;
    // Reads the chosen document into `document` as the library receives it;
    // false, with `document` empty and the user told why (after the wait
    // panel is hidden), when the file is refused or cannot be read.
    bool LoadDocument(const QString& fileName, std::string& document);
    // The common end of a sale and a cancellation: the wait panel, the chosen
    // file read into `document`, the operation, the document emptied again and
    // the result appended.
    void SendChosenDocument(const QString& message, std::string& document,
                            const std::function<void()>& operation);
};
