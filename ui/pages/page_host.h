#pragma once
// What a page needs from the window that holds it: the SAT session, the
// core's user interface (messages, the wait panel), the check of the default
// activation code, the field indicators' looks, the keyboard conventions, and
// the few controls of the window and of other pages that a page reads. The
// pages depend on this alone; TFprincipal implements it.

#include <QString>

#include "sat/user_interface.h"

class QLabel;
class QWidget;
class SatSession;
class TFieldIndicator;
class TNetworkPage;
class TPagerHeader;
class TPagerItem;
class TQueriesPage;
class TYEditNumeric;
class TYEditString;

// The list entries that the device status shows, hides and badges.
struct TStatusListEntries {
    TPagerItem* meu_01 = nullptr;
    TPagerItem* meu_02 = nullptr;
    TPagerItem* meu_03 = nullptr;
    TPagerHeader* HeaderItem2 = nullptr;
    TPagerItem* meu_04 = nullptr;
};

class TPageHost : public SatUserInterface {
public:
    virtual SatSession& Session() const = 0;

    // Shows the wait panel with `text` and lets it paint before the blocking
    // call that follows (its partner FechaAguarde is the core's).
    virtual void MostraAguarde(const QString& text) = 0;

    // Checks the default activation code before an operation; true: go on.
    virtual bool ConfereCodigoPadrao() = 0;

    // Gives an indicator the look of img_ok ("OK") or img_x ("X").
    virtual void SetIndicator(TFieldIndicator* indicator, bool ok) = 0;

    // Enter in the control moves the focus on (AvancarKeyDown).
    virtual void BindAvancar(QWidget* control) = 0;
    // Only digits, backspace and Enter are typed (CampoNumeroKeyPress).
    virtual void BindCampoNumero(TYEditNumeric* edit) = 0;
    virtual void BindCampoNumero(TYEditString* edit) = 0;

    // The network page: its default activation code rede_status_sat_ativacao
    // and its shared handlers.
    virtual TNetworkPage& NetworkPage() const = 0;
    // The queries page, whose result memo the status refresh clears.
    virtual TQueriesPage& QueriesPage() const = 0;

    virtual TStatusListEntries StatusListEntries() const = 0;

    // The hidden battery pictures bat_1 (low), bat_2 (medium), bat_3 (high).
    virtual const QLabel* BatteryPicture(int level) const = 0;

    // The window itself: the parent of the input box, the widget whose
    // children a page looks up by name.
    virtual QWidget& HostWidget() = 0;
};
