#pragma once
// TFprincipal, the one window of the program: a borderless window with its
// own header bar, the entry picture whose click starts the SAT library, the
// page set with its list of pages, the wait panel and the loading window
// that cover long operations, the two timers and the keyboard conventions of
// every page. It owns the program's one SAT session, is the core's user
// interface (messages through the message dialog, FechaAguarde) and the
// pages' host.

#include <QPoint>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "ui/pages/page_host.h"

class QKeyEvent;
class QLabel;
class QMouseEvent;
class QTabWidget;
class QTimer;
class SatSession;
class TActivationPage;
class TAdvPolyPager;
class TAssociationPage;
class TCertificatePage;
class TClickablePicture;
class TFieldIndicator;
class TLibraryCalls;
class THeaderBar;
class TMaintenancePage;
class TNetworkPage;
class TPagerHeader;
class TPagerItem;
class TQueriesPage;
class TStatusPage;
class TThreadedTimer;
class TVUDuvivededavo;
class TWaitPanel;
class TYEditNumeric;
class TYEditString;

struct TFprincipalOptions {
    // The splash window while the window is created (tests go without).
    bool showSplash = true;
    // Full paths; empty: the files beside the program.
    std::string satLibraryPath;
    std::string settingsFilePath;
    // The library host program (empty: the one beside the program).
    std::string satHostPath;
    // Load the library into this process instead of the host: only for tests
    // that script a fake library through its own exports.
    bool libraryInProcess = false;
};

class TFprincipal : public QWidget, public TPageHost {
    Q_OBJECT

public:
    using Options = TFprincipalOptions;

    static constexpr int kClientWidth = 991;
    static constexpr int kClientHeight = 716;
    // Hit-test answers: a press in the top strip drags the window.
    static constexpr int kCaptionStripHeight = 30;
    static constexpr int kHitClient = 1;
    static constexpr int kHitCaption = 2;
    static constexpr int kTimer1Interval = 200;
    static constexpr int kImgUpdateInterval = 5000;
    // Sheets of PC.
    static constexpr int kEntrySheet = 0;
    static constexpr int kPagesSheet = 1;
    static constexpr int kTemplateSheet = 2;

    explicit TFprincipal(const Options& options = {}, QWidget* parent = nullptr);
    ~TFprincipal() override;

    SatSession& Session() const override { return *session_; }

    // The core's user interface.
    int ShowMessageDialog(const std::string& cp1252Text) override;
    void FechaAguarde() override;
    // On the window's library thread, the window painting meanwhile and
    // swallowing the user's input (ui/library_calls.h).
    void RunLibraryCall(const std::function<void()>& step) override;

    // True while a SAT library call runs.
    bool LibraryCallRunning() const;
    // True while an operation covers the window: a library call, the wait
    // panel or the loading window. The page reset waits for its end.
    bool OperationRunning() const;

    // The question asked when the window is closed during a library call
    // (Windows-1252, "[SN]" kind).
    static std::string EndDuringCallQuestion();

    // Shows the wait panel with `text` and lets it paint before the blocking
    // call that follows.
    void MostraAguarde(const QString& text) override;
    // The loading window over the whole window, and its removal.
    void MostraCarregando(const QString& text);
    void FechaCarregando();

    // Checks the default activation code of the network page before an
    // operation: trims it (writing it back) and, while the device status is
    // above "NÃO ATIVADO", refuses a blank code or one outside 8 to 32
    // characters with "Código de Ativação Padrão inválido !". True: go on.
    bool ConfereCodigoPadrao() override;

    // Prepares a result text for a result memo: quoted comma-separated fields
    // become "|"-separated fields without quotes. The pages' name for the
    // core's rule of the same name.
    static std::string NormalizaRetorno(std::string_view text);

    // Page resets.
    void LimpaRede();
    void LimpaAtivacao();
    void LimpaAssociacao();
    void LimpaCertificado();
    void LimpaManutencao();
    void LimpaResumo();

    // Gives an indicator the look of img_ok ("OK") or img_x ("X").
    void SetIndicator(TFieldIndicator* indicator, bool ok) override;
    // The same for the indicator of that name ("ativar_cnpj_check");
    // false when the window has none.
    bool SetIndicator(const QString& checkName, bool ok);

    // Enter in the control moves the focus on (AvancarKeyDown).
    void BindAvancar(QWidget* control) override;
    // Only digits, backspace and Enter are typed (CampoNumeroKeyPress).
    void BindCampoNumero(TYEditNumeric* edit) override;
    void BindCampoNumero(TYEditString* edit) override;

    // The pages' host: the other pages and the window's controls they read.
    TNetworkPage& NetworkPage() const override { return *AdvPolyPage1; }
    TQueriesPage& QueriesPage() const override { return *AdvPolyPage5; }
    TStatusListEntries StatusListEntries() const override;
    const QLabel* BatteryPicture(int level) const override;
    QWidget& HostWidget() override { return *this; }

    // Enter moves the focus to the next control in tab order; true when the
    // key was used.
    bool AvancarKeyDown(QWidget* sender, int key);
    static void CampoNumeroKeyPress(QWidget* sender, QChar& key);

    // The window's hit test for a point in client coordinates: kHitCaption
    // above Y 30, kHitClient from there down.
    static int WMNCHitTest(QPoint clientPos);

    // The list entries of the device status "NÃO ATIVADO".
    void ShowNotActivatedListEntries();

    // A page chosen by the user takes the keyboard: its first control in
    // tab order gets the focus (the list keeps it when the page has none).
    void FocusFirstField(int pageIndex);

    // Handlers bound to the window's controls and timers.
    void Image7Click();
    void Timer1Timer();
    void ImgUpdateTimer();
    void btnMinClick();
    void btnCloseClick();

    // Components, under their design names.
    TVUDuvivededavo* s_m = nullptr;
    THeaderBar* AdvPanel1 = nullptr;
    QTabWidget* PC = nullptr;
    QWidget* TabSheet2 = nullptr; // entry picture
    QWidget* TabSheet1 = nullptr; // page set and wait panel
    QWidget* TabSheet3 = nullptr; // templates, never shown
    TClickablePicture* Image7 = nullptr;
    TAdvPolyPager* AdvPolyPager1 = nullptr;
    TWaitPanel* AguardeGenPnl = nullptr;
    TFieldIndicator* img_ok = nullptr;
    TFieldIndicator* img_x = nullptr;
    QLabel* bat_1 = nullptr;
    QLabel* bat_2 = nullptr;
    QLabel* bat_3 = nullptr;
    QTimer* Timer1 = nullptr;
    TThreadedTimer* ImgUpdate = nullptr;

    TPagerHeader* HeaderItem1 = nullptr;
    TPagerHeader* HeaderItem2 = nullptr;
    TPagerHeader* HeaderItem3 = nullptr;
    TPagerHeader* HeaderItem4 = nullptr;
    TPagerItem* meu_01 = nullptr;
    TPagerItem* meu_02 = nullptr;
    TPagerItem* meu_03 = nullptr;
    TPagerItem* meu_04 = nullptr;
    TPagerItem* meu_05 = nullptr;
    TPagerItem* meu_06 = nullptr;
    TPagerItem* meu_07 = nullptr;

    TNetworkPage* AdvPolyPage1 = nullptr;
    TActivationPage* AdvPolyPage2 = nullptr;
    TAssociationPage* AdvPolyPage3 = nullptr;
    TCertificatePage* AdvPolyPage4 = nullptr;
    TQueriesPage* AdvPolyPage5 = nullptr;
    TMaintenancePage* AdvPolyPage6 = nullptr;
    TStatusPage* AdvPolyPage7 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Ends the process at once, the library call left running (the user
    // confirmed it). The session number was stored before the call.
    virtual void EndProgramAtOnce();

private:
    void BuildSheets();
    void BuildPageSet();
    void BuildTemplates();
    void FormCreate(bool showSplash);
    void FormShow();
    bool FormKeyDown(const QKeyEvent& event);
    // Ctrl+1 to Ctrl+7 choose the pages in the list's order (when the page
    // set is shown and the page's item can be chosen); true when the key was
    // one of them.
    bool PageShortcut(const QKeyEvent& event);
    // Enter on a focused push or tool button presses it, as Space does.
    static bool PressFocusedButton(QWidget* focused, const QKeyEvent& event);
    bool StartsDrag(QWidget* pressed, const QMouseEvent& event) const;
    void FormMouseDown(const QMouseEvent& event);
    void EnableTimer1();
    void PlaceWaitPanel();
    bool PassesDuringCall(QWidget* target, const QEvent& event) const;
    // Asks whether to end the program while a call runs; ends it on yes.
    // The question is closed (as "Não") when the call ends meanwhile.
    void ConfirmEndDuringCall();
    void CloseEndQuestion();
    // The call has been silent `seconds`: the wait panel and the loading
    // window say so and offer to stop waiting.
    void ShowSilence(int seconds);
    void StopWaiting();

    TLibraryCalls* libraryCalls_ = nullptr;
    std::unique_ptr<SatSession> session_;
    bool shown_ = false;
    bool confirmingEnd_ = false;
    // Set while the window follows the mouse itself because the platform
    // has no system move (no window manager).
    bool dragging_ = false;
    QPoint dragOffset_;
};
