#pragma once
// Page 4, queries and tests: general query, operational status, session lookup, logs, end-to-end
// test, sale and cancellation; results go to memo_retorno.

#include "ui/pages/page_base.h"

class QLabel;
class QPlainTextEdit;

class TQueriesPage : public TPageBase {
    Q_OBJECT

public:
    explicit TQueriesPage(TFprincipal& window, QWidget* parent = nullptr);

    QLabel* Label76 = nullptr;
    // The page's result texts; read-only, cleared when the window is first shown.
    QPlainTextEdit* memo_retorno = nullptr;
};
