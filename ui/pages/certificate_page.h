#pragma once
// Page 3, ICP-Brasil certificate. Its list entries are always hidden, so the page is never shown.

#include "ui/pages/page_base.h"

class TCertificatePage : public TPageBase {
    Q_OBJECT

public:
    explicit TCertificatePage(TFprincipal& window, QWidget* parent = nullptr);
};
