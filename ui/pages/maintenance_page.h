#pragma once
// Page 5, maintenance: block, unblock, software update and the activation code change; results go
// to memo_retorno_1.

#include "ui/pages/page_base.h"

class QLabel;
class QPlainTextEdit;

class TMaintenancePage : public TPageBase {
    Q_OBJECT

public:
    explicit TMaintenancePage(TFprincipal& window, QWidget* parent = nullptr);

    QLabel* Label78 = nullptr;
    // The page's result texts; read-only, cleared when the window is first shown.
    QPlainTextEdit* memo_retorno_1 = nullptr;
};
