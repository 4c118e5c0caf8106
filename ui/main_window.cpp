#include "ui/main_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

#include <cstdio>
#include <cstdlib>

#include "dialogs/Yancomp.h"
#include "dialogs/ansi_text.h"
#include "dialogs/easter_egg.h"
#include "dialogs/header_bar.h"
#include "dialogs/loading_window.h"
#include "dialogs/on_screen.h"
#include "dialogs/pictures.h"
#include "dialogs/threaded_timer.h"
#include "manager/didiz_ivodazu_rivivaz.h"
#include "program_version.h"
#include "rules/cp1252.h"
#include "rules/text_utils.h"
#include "sat/platform/sat_library_file.h"
#include "sat/response_fields.h"
#include "sat/session_counter.h"
#include "sat/un_global.h"
#include "ui/accessible_names.h"
#include "ui/busy_wheel.h"
#include "ui/clickable_picture.h"
#include "ui/field_indicator.h"
#include "ui/library_calls.h"
#include "ui/page_set.h"
#include "ui/pages/activation_page.h"
#include "ui/pages/association_page.h"
#include "ui/pages/certificate_page.h"
#include "ui/pages/maintenance_page.h"
#include "ui/pages/network_page.h"
#include "ui/pages/queries_page.h"
#include "ui/pages/status_page.h"
#include "ui/result_memo.h"
#include "ui/wait_panel.h"

namespace {

// Marks the controls whose Enter moves the focus on.
constexpr char kAvancarProperty[] = "dvtAvancar";

constexpr int kActivationCodeMinLength = 8;

// The counter's copies of this install (with the user's copy to fall back
// on); a file given in the options (tests) has none.
std::unique_ptr<SatSession> MakeSession(SatUserInterface& ui, const TFprincipal::Options& options) {
    auto session = options.settingsFilePath.empty()
                       ? std::make_unique<SatSession>(ui)
                       : std::make_unique<SatSession>(ui, options.settingsFilePath,
                                                      platform::SatLibraryPathBesideProgram());
    if (!options.satLibraryPath.empty()) {
        session->SetSatLibraryPath(options.satLibraryPath);
    }
    // The maker's library runs in a process of its own: when it crashes or
    // hangs, the call is lost, not the window and what it shows.
    if (!options.libraryInProcess) {
        session->UseLibraryHost(options.satHostPath.empty() ? SatHostPathBesideProgram()
                                                            : options.satHostPath);
    }
    return session;
}

} // namespace

TFprincipal::TFprincipal(const Options& options, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    libraryCalls_ = new TLibraryCalls(this);
    libraryCalls_->setInputPass(
        [this](QWidget* target, const QEvent& event) { return PassesDuringCall(target, event); });
    session_ = MakeSession(*this, options);
    libraryCalls_->setAbandon([this] { session_->AbandonLibraryCall(); });
    connect(libraryCalls_, &TLibraryCalls::stepFinished, this, &TFprincipal::CloseEndQuestion);
    connect(libraryCalls_, &TLibraryCalls::silentFor, this, &TFprincipal::ShowSilence);
    connect(libraryCalls_, &TLibraryCalls::callEnded, this, [this] {
        AguardeGenPnl->HideSilence();
        PlaceWaitPanel();
    });
    setObjectName(QStringLiteral("Fprincipal"));
    setWindowTitle(QStringLiteral("Dravo Vexa Tarvik ®"));
    setFixedSize(kClientWidth, kClientHeight);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);

    s_m = new TVUDuvivededavo(this);
    s_m->setObjectName(QStringLiteral("s_m"));
    // The program's identity as the splash, the header and the loading
    // window show it.
    s_m->setProgramName(QStringLiteral("ravor_eduz"));
    s_m->setTituloDoPrograma(QStringLiteral("Dravo Vexa Tarvik ®"));
    s_m->setVersaoDoPrograma(QString::fromLatin1(kProgramVersion));
    s_m->setVersao_Manager(QStringLiteral("1.05"));
    s_m->setBuildDoPrograma(QString::fromLatin1(kProgramBuild));

    AdvPanel1 = new THeaderBar(this);
    BuildSheets();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(AdvPanel1);
    layout->addWidget(PC, 1);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTimer1Interval);
    connect(Timer1, &QTimer::timeout, this, &TFprincipal::Timer1Timer);

    ImgUpdate = new TThreadedTimer(this);
    ImgUpdate->setObjectName(QStringLiteral("ImgUpdate"));
    ImgUpdate->setInterval(kImgUpdateInterval);
    ImgUpdate->setOnTimer([this] { ImgUpdateTimer(); });

    connect(AdvPanel1->btnMin, &QAbstractButton::clicked, this, &TFprincipal::btnMinClick);
    connect(AdvPanel1->btnClose, &QAbstractButton::clicked, this, &TFprincipal::btnCloseClick);
    connect(Image7, &TClickablePicture::clicked, this, &TFprincipal::Image7Click);
    connect(AdvPolyPager1, &TAdvPolyPager::PageChosen, this, &TFprincipal::FocusFirstField);
    connect(AguardeGenPnl->btnParar, &QAbstractButton::clicked, this, &TFprincipal::StopWaiting);

    // Key preview and the window's own dragging see every key and mouse press
    // of the window before the control under it does.
    qApp->installEventFilter(this);

    // Centred on the screen when first shown.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    NameControlsFromCaptions(*this);
    FormCreate(options.showSplash);
}

TFprincipal::~TFprincipal() {
    // The session (and its host) goes before the library calls object.
    libraryCalls_->setAbandon(nullptr);
    // The loading window is a child of this window; its slot must not keep
    // pointing at it.
    ::FechaCarregando();
}

void TFprincipal::BuildSheets() {
    PC = new QTabWidget(this);
    PC->setObjectName(QStringLiteral("PC"));
    PC->setDocumentMode(true);
    // Its tab buttons are hidden: Tab must pass it by, not give the focus
    // to the hidden tab bar, which keeps it where it was.
    PC->setFocusPolicy(Qt::NoFocus);

    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    Image7 = new TClickablePicture(TabSheet2);
    Image7->setObjectName(QStringLiteral("Image7"));
    Image7->setCursor(Qt::PointingHandCursor);
    Image7->setToolTip(QStringLiteral("Clique aqui \npara entrar."));
    Image7->setAccessibleName(QStringLiteral("Clique aqui para entrar."));
    Image7->setScaledContents(true);
    Image7->setPixmap(RenderPicture(QStringLiteral("window_entry"),
                                    QSize(kClientWidth, kClientHeight - THeaderBar::kHeight),
                                    devicePixelRatioF()));
    auto* entryLayout = new QVBoxLayout(TabSheet2);
    entryLayout->setContentsMargins(0, 0, 0, 0);
    entryLayout->addWidget(Image7);

    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    BuildPageSet();

    TabSheet3 = new QWidget;
    TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
    BuildTemplates();

    PC->addTab(TabSheet2, QStringLiteral("Ativação"));
    PC->addTab(TabSheet1, QString());
    PC->addTab(TabSheet3, QString());
}

void TFprincipal::BuildPageSet() {
    AdvPolyPager1 = new TAdvPolyPager(TabSheet1);
    AdvPolyPager1->setObjectName(QStringLiteral("AdvPolyPager1"));
    auto* layout = new QVBoxLayout(TabSheet1);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(AdvPolyPager1);

    AdvPolyPage1 = new TNetworkPage(*this);
    AdvPolyPage2 = new TActivationPage(*this);
    AdvPolyPage3 = new TAssociationPage(*this);
    AdvPolyPage4 = new TCertificatePage(*this);
    AdvPolyPage5 = new TQueriesPage(*this);
    AdvPolyPage6 = new TMaintenancePage(*this);
    AdvPolyPage7 = new TStatusPage(*this);
    const QList<QWidget*> pages{AdvPolyPage1, AdvPolyPage2, AdvPolyPage3, AdvPolyPage4,
                                AdvPolyPage5, AdvPolyPage6, AdvPolyPage7};
    for (QWidget* page : pages) {
        AdvPolyPager1->AddPage(page);
    }

    TAdvPolyPager& pager = *AdvPolyPager1;
    HeaderItem1 =
        pager.AddHeader(QStringLiteral("HeaderItem1"), QStringLiteral("Ativação e Configurações"));
    meu_01 = pager.AddItem(QStringLiteral("meu_01"), QStringLiteral("Configurar Rede  SAT"),
                           QStringLiteral("page_network"), 0);
    meu_02 = pager.AddItem(QStringLiteral("meu_02"), QStringLiteral("Ativar SAT"),
                           QStringLiteral("page_activation"), 1);
    meu_03 = pager.AddItem(QStringLiteral("meu_03"), QStringLiteral("Associar Assinatura SAT"),
                           QStringLiteral("page_association"), 2);
    HeaderItem2 =
        pager.AddHeader(QStringLiteral("HeaderItem2"), QStringLiteral("Certficado ICP/Brasil"));
    meu_04 =
        pager.AddItem(QStringLiteral("meu_04"), QStringLiteral("Comunicar Certificado ICP/Brasil"),
                      QStringLiteral("page_certificate"), 3);
    HeaderItem3 = pager.AddHeader(QStringLiteral("HeaderItem3"),
                                  QStringLiteral("Consultas e Testes do Vexa ®"));
    meu_05 = pager.AddItem(QStringLiteral("meu_05"), QStringLiteral("Opções de Consultas e Testes"),
                           QStringLiteral("page_queries"), 4);
    HeaderItem4 =
        pager.AddHeader(QStringLiteral("HeaderItem4"), QStringLiteral("Manutenção do Vexa ®"));
    meu_06 = pager.AddItem(QStringLiteral("meu_06"), QStringLiteral("Opções de Manutenção"),
                           QStringLiteral("page_maintenance"), 5);
    meu_07 = pager.AddItem(QStringLiteral("meu_07"), QStringLiteral("Resumo do Vexa®"),
                           QStringLiteral("page_status"), 6);

    meu_01->SetBadge(QStringLiteral("Passo 01"));
    meu_01->SetBadgeVisible(true);
    meu_02->SetBadge(QStringLiteral("Passo 02"));
    meu_02->SetBadgeVisible(true);
    meu_03->SetBadge(QStringLiteral("Passo 03"));
    meu_03->SetBadgeVisible(false);

    // The wait panel lies over the page set, hidden until an operation runs.
    AguardeGenPnl = new TWaitPanel(TabSheet1);
    AguardeGenPnl->hide();
    PlaceWaitPanel();
    TabSheet1->installEventFilter(this); // keeps the panel centred on resizes
}

void TFprincipal::BuildTemplates() {
    img_ok = new TFieldIndicator(TabSheet3);
    img_ok->setObjectName(QStringLiteral("img_ok"));
    img_ok->SetCaption(QStringLiteral("OK"));
    img_ok->SetFill(TFieldIndicator::kOkFill);
    img_ok->move(10, 10);
    img_ok->hide();
    img_x = new TFieldIndicator(TabSheet3);
    img_x->setObjectName(QStringLiteral("img_x"));
    img_x->SetCaption(QStringLiteral("X"));
    img_x->SetFill(TFieldIndicator::kXFill);
    img_x->move(40, 10);
    img_x->hide();

    // Battery pictures for the operational status page: high, medium, low.
    const auto battery = [this](const char* name, const char* picture, int left) {
        auto* label = new QLabel(TabSheet3);
        label->setObjectName(QString::fromLatin1(name));
        label->setPixmap(
            RenderPicture(QString::fromLatin1(picture), QSize(48, 24), devicePixelRatioF()));
        label->setGeometry(left, 40, 48, 24);
        label->hide();
        return label;
    };
    bat_1 = battery("bat_1", "window_battery_low", 10);
    bat_2 = battery("bat_2", "window_battery_medium", 70);
    bat_3 = battery("bat_3", "window_battery_high", 130);
}

void TFprincipal::PlaceWaitPanel() {
    const QSize area = TabSheet1->size();
    AguardeGenPnl->move((area.width() - AguardeGenPnl->width()) / 2,
                        (area.height() - AguardeGenPnl->height()) / 2);
    AguardeGenPnl->raise();
}

// ---------------------------------------------------------------- life

void TFprincipal::FormCreate(bool showSplash) {
    if (showSplash) {
        s_m->ShowSplash(1000, QStringLiteral("0"));
    }
    // Qt paints every widget double-buffered already; nothing to switch on.
}

void TFprincipal::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TFprincipal::FormShow() {
    AguardeGenPnl->hide();
    PC->tabBar()->hide();
    PC->setCurrentIndex(kEntrySheet);
    AdvPolyPager1->SetActivePageIndex(0);
    AdvPanel1->lbl_sm_program->setText(s_m->TituloDoPrograma());
    AdvPanel1->lbl_sm_program->adjustSize();
    AdvPanel1->lbl_sm_version->setText(QStringLiteral("v.") + s_m->VersaoDoPrograma());
    AdvPanel1->lbl_sm_version->adjustSize();
    AdvPolyPage5->memo_retorno->clear();
    AdvPolyPage6->memo_retorno_1->clear();
    // The keyboard starts on the entry picture: Enter or Space open it.
    Image7->setFocus(Qt::OtherFocusReason);
    EnableTimer1();
    ImgUpdate->setEnabled(true);
}

void TFprincipal::EnableTimer1() {
    // Enabling a running timer does not restart its interval.
    if (!Timer1->isActive()) {
        Timer1->start();
    }
}

void TFprincipal::Image7Click() {
    EnableTimer1();
    MostraCarregando(QStringLiteral("Aguarde...\r\nCarregando configurações Vexa ®"));
    if (!session_->LoadSatLibrary()) {
        FechaCarregando();
        // A library file that exists but cannot be loaded (another
        // architecture, a missing dependency) leaves the start-up silent;
        // without a word here the click would seem to do nothing.
        const std::string& reason = session_->LastLoadError();
        if (!reason.empty()) {
            const std::string shown = Utf8ToCp1252(reason);
            ShowMessageDialog(Utf8ToCp1252("Não foi possível carregar a biblioteca Vexa®:\r\n") +
                              (shown.empty() ? reason : shown) + "[e]");
        }
        return;
    }
    PC->setCurrentIndex(kPagesSheet);
    AdvPolyPager1->SetActivePageIndex(0);
    QCoreApplication::processEvents();
    FechaCarregando();
    // The loading window had the activation; the keyboard comes back here.
    activateWindow();
    AdvPolyPage1->rede_status_sat->setFocus(Qt::OtherFocusReason);
}

void TFprincipal::Timer1Timer() {
    // Never under a running operation: the timer stays armed and the reset
    // comes with its first tick after the operation.
    if (OperationRunning()) {
        return;
    }
    Timer1->stop(); // one reset per enabling
    LimpaRede();
    LimpaAtivacao();
    LimpaAssociacao();
    LimpaCertificado();
    LimpaManutencao();
    LimpaResumo();
    AdvPolyPager1->SetActivePageIndex(0);
    QCoreApplication::processEvents();
}

void TFprincipal::ImgUpdateTimer() {
    AdvPolyPager1->update();
    update();
    AdvPolyPager1->repaint();
    QCoreApplication::processEvents();
}

void TFprincipal::RunLibraryCall(const std::function<void()>& step) {
    libraryCalls_->Run(step);
}

bool TFprincipal::LibraryCallRunning() const {
    return libraryCalls_->Running();
}

bool TFprincipal::OperationRunning() const {
    return LibraryCallRunning() || AguardeGenPnl->isVisible() || CurrentLoadingWindow() != nullptr;
}

std::string TFprincipal::EndDuringCallQuestion() {
    return Utf8ToCp1252("Uma operação com o equipamento SAT ainda está em andamento.\r\n"
                        "Deseja encerrar o programa mesmo assim ?[SN]");
}

bool TFprincipal::PassesDuringCall(QWidget* target, const QEvent& event) const {
    // Only the mouse on the header bar: its buttons (minimise, close, which
    // asks first) and the dragging of the window. A drag without a window
    // manager goes on wherever the mouse is.
    const QEvent::Type type = event.type();
    const bool mouse = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
                       type == QEvent::MouseMove;
    if (!mouse) {
        return false;
    }
    if (dragging_) {
        return true;
    }
    if (target == AguardeGenPnl->btnParar) {
        return true;
    }
    if (TFMsgSat* loading = CurrentLoadingWindow()) {
        if (target == loading->btnParar || loading->header()->isAncestorOf(target)) {
            return true;
        }
    }
    return target == AdvPanel1 || AdvPanel1->isAncestorOf(target);
}

void TFprincipal::closeEvent(QCloseEvent* event) {
    if (!LibraryCallRunning()) {
        QWidget::closeEvent(event);
        return;
    }
    event->ignore();
    ConfirmEndDuringCall();
}

void TFprincipal::ConfirmEndDuringCall() {
    if (confirmingEnd_) {
        return; // the question is up already
    }
    confirmingEnd_ = true;
    const int answer = ShowMessageDialog(EndDuringCallQuestion());
    confirmingEnd_ = false;
    // Sim by the mouse or its key gives 6; Enter on Sim, the default button, 1.
    // A call that ended meanwhile has its answer to show: nothing is ended.
    if ((answer == 6 || answer == 1) && !libraryCalls_->StepOver()) {
        EndProgramAtOnce();
    }
}

void TFprincipal::CloseEndQuestion() {
    if (!confirmingEnd_) {
        return;
    }
    // The question opened during the call is the modal dialog now up.
    if (auto* question = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        question->done(7); // as "Não"
    }
}

void TFprincipal::ShowSilence(int seconds) {
    AguardeGenPnl->ShowSilence(seconds);
    if (AguardeGenPnl->isVisible()) {
        PlaceWaitPanel();
    }
    if (TFMsgSat* loading = CurrentLoadingWindow()) {
        loading->ShowSilence(SilenceText(seconds));
    }
}

void TFprincipal::StopWaiting() {
    libraryCalls_->Abandon();
}

void TFprincipal::EndProgramAtOnce() {
    std::fflush(nullptr);
    std::_Exit(0);
}

void TFprincipal::btnMinClick() {
    showMinimized();
}

void TFprincipal::btnCloseClick() {
    close();
}

// ---------------------------------------------------------------- resets

void TFprincipal::LimpaRede() {
    AdvPolyPage1->Limpa();
}
void TFprincipal::LimpaAtivacao() {
    AdvPolyPage2->Limpa();
}
void TFprincipal::LimpaAssociacao() {
    AdvPolyPage3->Limpa();
}
void TFprincipal::LimpaCertificado() {
    AdvPolyPage4->Limpa();
}
void TFprincipal::LimpaManutencao() {
    AdvPolyPage6->Limpa();
}
void TFprincipal::LimpaResumo() {
    AdvPolyPage7->Limpa();
}

void TFprincipal::ShowNotActivatedListEntries() {
    meu_01->SetBadgeVisible(true);
    meu_02->SetBadgeVisible(true);
    meu_03->SetBadgeVisible(false);
    meu_02->setEnabled(true);
    meu_02->setVisible(true);
    meu_03->setEnabled(false);
    meu_03->setVisible(false);
    HeaderItem2->setEnabled(false);
    HeaderItem2->setVisible(false);
    meu_04->setEnabled(false);
    meu_04->setVisible(false);
}

TStatusListEntries TFprincipal::StatusListEntries() const {
    return {meu_01, meu_02, meu_03, HeaderItem2, meu_04};
}

const QLabel* TFprincipal::BatteryPicture(int level) const {
    switch (level) {
    case 3:
        return bat_3;
    case 2:
        return bat_2;
    default:
        return bat_1;
    }
}

// ---------------------------------------------------------------- routines

int TFprincipal::ShowMessageDialog(const std::string& cp1252Text) {
    return s_m->ShowMessageDialog(cp1252Text);
}

void TFprincipal::MostraAguarde(const QString& text) {
    AguardeGenPnl->lbl_msg->setText(text);
    AguardeGenPnl->gen_indicador->setEnabled(true);
    PlaceWaitPanel();
    AguardeGenPnl->setVisible(true);
    // On the screen before the call. Input typed meanwhile stays queued and
    // is swallowed by the call's wait, so no second operation can start.
    PaintOnScreen(*AguardeGenPnl);
}

void TFprincipal::FechaAguarde() {
    AguardeGenPnl->gen_indicador->setEnabled(false);
    AguardeGenPnl->setVisible(false);
    QCoreApplication::processEvents();
}

void TFprincipal::MostraCarregando(const QString& text) {
    ::MostraCarregando(*this, text, s_m->VersaoDoPrograma(), AdvPanel1->Image4->pixmap());
    if (TFMsgSat* loading = CurrentLoadingWindow()) {
        // Its close (window manager, Alt+F4) asks like the window's own.
        loading->installEventFilter(this);
        // The wheel turns while the library loads and answers its first query.
        auto* wheel = new TBusyWheel(loading);
        wheel->setFixedSize(TWaitPanel::kWheelSize, TWaitPanel::kWheelSize);
        wheel->setEnabled(true);
        loading->setIndicator(wheel);
        connect(loading->btnParar, &QAbstractButton::clicked, this, &TFprincipal::StopWaiting,
                Qt::UniqueConnection);
        // A window manager maps it some milliseconds later: on the screen
        // before the library is loaded and called.
        PaintOnScreen(*loading);
    }
}

void TFprincipal::FechaCarregando() {
    ::FechaCarregando();
}

bool TFprincipal::ConfereCodigoPadrao() {
    TYEditString* field = AdvPolyPage1->rede_status_sat_ativacao;
    const std::string code = TrimBlanks(QStringToAnsi(field->text()));
    field->setText(AnsiToQString(code));
    if (AdvPolyPage1->DeviceStatus() > TNetworkPage::kNaoAtivado &&
        (IsBlank(code) || code.size() < kActivationCodeMinLength ||
         code.size() > static_cast<std::size_t>(TNetworkPage::kActivationCodeMaxLength))) {
        ShowMessageDialog(Utf8ToCp1252("Código de Ativação Padrão inválido !"));
        return false;
    }
    return true;
}

std::string TFprincipal::NormalizaRetorno(std::string_view text) {
    return ::NormalizaRetorno(text);
}

void TFprincipal::SetIndicator(TFieldIndicator* indicator, bool ok) {
    if (indicator == nullptr) {
        return;
    }
    indicator->CopyLookFrom(ok ? *img_ok : *img_x);
    indicator->SetCaption(ok ? QStringLiteral("OK") : QStringLiteral("X"));
}

bool TFprincipal::SetIndicator(const QString& checkName, bool ok) {
    auto* indicator = findChild<TFieldIndicator*>(checkName);
    if (indicator == nullptr || indicator == img_ok || indicator == img_x) {
        return false;
    }
    SetIndicator(indicator, ok);
    return true;
}

// ---------------------------------------------------------------- keys

void TFprincipal::BindAvancar(QWidget* control) {
    control->setProperty(kAvancarProperty, true);
}

void TFprincipal::BindCampoNumero(TYEditNumeric* edit) {
    edit->OnKeyPress = &TFprincipal::CampoNumeroKeyPress;
}

void TFprincipal::BindCampoNumero(TYEditString* edit) {
    edit->OnKeyPress = &TFprincipal::CampoNumeroKeyPress;
}

bool TFprincipal::AvancarKeyDown(QWidget*, int key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter) {
        return false;
    }
    focusNextChild();
    return true;
}

void TFprincipal::CampoNumeroKeyPress(QWidget*, QChar& key) {
    const bool passes = key == QChar(8) || key == QChar(13) || (key >= u'0' && key <= u'9');
    if (!passes) {
        key = QChar();
    }
}

void TFprincipal::FocusFirstField(int pageIndex) {
    QWidget* page = AdvPolyPager1->Page(pageIndex);
    if (page == nullptr) {
        return;
    }
    // The first control of the page in tab order that takes the keyboard;
    // a page without one (the status page) leaves it in the list.
    QWidget* target = AdvPolyPager1->List();
    for (QWidget* next = page->nextInFocusChain(); next != nullptr && next != page;
         next = next->nextInFocusChain()) {
        if (next->window() != this || next == this) {
            break;
        }
        if (page->isAncestorOf(next) && next->isVisible() && next->isEnabled() &&
            (next->focusPolicy() & Qt::TabFocus) == Qt::TabFocus) {
            target = next;
            break;
        }
    }
    target->setFocus(Qt::TabFocusReason);
}

bool TFprincipal::PageShortcut(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    const int key = event.key();
    if (modifiers != Qt::ControlModifier || key < Qt::Key_1 ||
        key >= Qt::Key_1 + AdvPolyPager1->PageCount() || PC->currentIndex() != kPagesSheet) {
        return false;
    }
    AdvPolyPager1->ChoosePage(key - Qt::Key_1);
    return true;
}

bool TFprincipal::PressFocusedButton(QWidget* focused, const QKeyEvent& event) {
    const bool enter = event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
    if (!enter || (event.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        return false;
    }
    auto* button = qobject_cast<QAbstractButton*>(focused);
    const bool pressable =
        qobject_cast<QPushButton*>(focused) != nullptr || qobject_cast<QToolButton*>(focused);
    if (button == nullptr || !pressable || !button->isEnabled()) {
        return false;
    }
    button->click();
    return true;
}

bool TFprincipal::FormKeyDown(const QKeyEvent& event) {
    if (!IsEasterEggShortcut(event)) {
        return false;
    }
    ShowEasterEgg(this);
    return true;
}

// ---------------------------------------------------------------- dragging

int TFprincipal::WMNCHitTest(QPoint clientPos) {
    return clientPos.y() < kCaptionStripHeight ? kHitCaption : kHitClient;
}

bool TFprincipal::StartsDrag(QWidget* pressed, const QMouseEvent& event) const {
    // Only a press on the widget itself: one that a child passed on to its
    // parent belongs to the child.
    if (pressed->childAt(event.position().toPoint()) != nullptr) {
        return false;
    }
    const bool boundToFormMouseDown = pressed == this || pressed == AdvPanel1 ||
                                      pressed == AdvPanel1->Image9 || pressed == AdvPanel1->Image4;
    if (boundToFormMouseDown) {
        return true;
    }
    // The top strip answers the hit test as a caption; buttons there stay
    // buttons, as they are windows of their own to the hit test.
    const QPoint client = mapFromGlobal(event.globalPosition().toPoint());
    return event.button() == Qt::LeftButton && WMNCHitTest(client) == kHitCaption &&
           qobject_cast<QAbstractButton*>(pressed) == nullptr;
}

void TFprincipal::FormMouseDown(const QMouseEvent& event) {
    if (QWidget* grabber = QWidget::mouseGrabber()) {
        grabber->releaseMouse();
    }
    if (windowHandle() != nullptr && windowHandle()->startSystemMove()) {
        return;
    }
    // No window manager to move the window: follow the mouse until release.
    dragging_ = true;
    dragOffset_ = event.globalPosition().toPoint() - pos();
}

bool TFprincipal::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close && watched == CurrentLoadingWindow() &&
        LibraryCallRunning()) {
        event->ignore();
        ConfirmEndDuringCall();
        return true;
    }
    if (watched == TabSheet1 && event->type() == QEvent::Resize) {
        PlaceWaitPanel();
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this) {
        return QWidget::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (FormKeyDown(key) || PageShortcut(key)) {
            return true;
        }
        if (widget->property(kAvancarProperty).toBool() && AvancarKeyDown(widget, key.key())) {
            return true;
        }
        if (PressFocusedButton(widget, key)) {
            return true;
        }
        break;
    }
    case QEvent::MouseButtonPress: {
        const auto& mouse = static_cast<const QMouseEvent&>(*event);
        if (StartsDrag(widget, mouse)) {
            FormMouseDown(mouse);
            return true;
        }
        break;
    }
    case QEvent::MouseMove:
        if (dragging_) {
            move(static_cast<const QMouseEvent*>(event)->globalPosition().toPoint() - dragOffset_);
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (dragging_) {
            dragging_ = false;
            return true;
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
