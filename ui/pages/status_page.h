#pragma once
// Page 6, operational status: the fields of the device's status answer, grouped as device, network
// and dates.

#include "ui/pages/page_base.h"

class TStatusPage : public TPageBase {
    Q_OBJECT

public:
    explicit TStatusPage(TFprincipal& window, QWidget* parent = nullptr);
};
