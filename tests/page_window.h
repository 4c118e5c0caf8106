#pragma once
// The main window as the page tests use it: shown and active (so that focus
// moves fire the field exits), its messages recorded instead of shown, the
// fake SAT library bound and the first page reset over.

#include <QApplication>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/Yancomp.h"
#include "rules/cp1252.h"
#include "sat/un_global.h"
#include "tests/fake_sat/fake_sat_control.h"
#include "ui/main_window.h"
#include "ui/page_set.h"
#include "ui/pages/network_page.h"

class RecordingWindow : public TFprincipal {
public:
    using TFprincipal::TFprincipal;
    // Every message of the core, the pages and the window, in UTF-8, markers
    // kept.
    std::vector<std::string> messages;
    // What the next question ("[SN]") is answered with; every other message
    // with OK.
    int answer = 1;
    // How often the window asked to end the process at once.
    int endRequests = 0;
    // When set, asks the questions instead of `answer` (a test's own dialog).
    std::function<int()> askQuestion;

    int ShowMessageDialog(const std::string& cp1252Text) override {
        messages.push_back(Cp1252ToUtf8(cp1252Text));
        if (cp1252Text.find("[SN]") == std::string::npos) {
            return 1;
        }
        return askQuestion ? askQuestion() : answer;
    }

protected:
    void EndProgramAtOnce() override { ++endRequests; }
};

// Opens a shown, active window bound to `fake`, its settings file in
// `folder`, past its first page reset. Null (with the reason logged) when
// the window cannot be set up.
inline std::unique_ptr<RecordingWindow> OpenPageWindow(const FakeSat& fake,
                                                       const QTemporaryDir& folder) {
    TFprincipal::Options options;
    options.showSplash = false;
    options.satLibraryPath = fake.LibraryPath();
    options.libraryInProcess = true; // the fake is scripted from this process
    options.settingsFilePath = folder.filePath(QStringLiteral("dravovexa.ini")).toStdString();
    auto window = std::make_unique<RecordingWindow>(options);
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get())) {
        qWarning("the main window never became active");
        return nullptr;
    }
    // The first page reset comes 200 ms after the show and would undo what
    // a test sets up.
    if (!QTest::qWaitFor([&] { return !window->Timer1->isActive(); })) {
        qWarning("the first page reset never ran");
        return nullptr;
    }
    if (!window->Session().BindSatLibrary()) {
        qWarning("the fake SAT library could not be bound");
        return nullptr;
    }
    return window;
}

// The same with the pages sheet showing page `page`.
inline std::unique_ptr<RecordingWindow> OpenStartedWindow(const FakeSat& fake,
                                                          const QTemporaryDir& folder, int page) {
    auto window = OpenPageWindow(fake, folder);
    if (window != nullptr) {
        window->PC->setCurrentIndex(TFprincipal::kPagesSheet);
        window->AdvPolyPager1->SetActivePageIndex(page);
        QApplication::processEvents();
    }
    return window;
}

// The base of the page tests: a fresh fake library, settings folder and
// window for each test, ended after it (the window first) by the test's
// init() and cleanup().
class PageWindowTest : public QObject {
protected:
    static constexpr int kOnEntrySheet = -1;

    // A fresh fake library and settings folder; false when the folder cannot
    // be made.
    bool PrepareWindow() {
        fake_ = std::make_unique<FakeSat>();
        folder_ = std::make_unique<QTemporaryDir>();
        return folder_->isValid();
    }
    // Opens the window on them (OpenStartedWindow on `page`, or OpenPageWindow
    // for kOnEntrySheet); false when it cannot be set up.
    bool OpenWindow(int page) {
        window_ = page == kOnEntrySheet ? OpenPageWindow(*fake_, *folder_)
                                        : OpenStartedWindow(*fake_, *folder_, page);
        return window_ != nullptr;
    }
    void EndWindow() {
        window_.reset();
        folder_.reset();
        fake_.reset();
    }

    std::unique_ptr<FakeSat> fake_;
    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<RecordingWindow> window_;
};

// The device status of the network page (0 "NÃO ATIVADO", 1 "ATIVADO",
// 2 "KIT DE DESENVOLVEDOR") with its rules applied, as the user's choice
// applies them, and its default activation code.
inline void ChooseDeviceStatus(TFprincipal& window, int status, const QString& code) {
    window.AdvPolyPage1->rede_status_sat->setCurrentIndex(status);
    window.AdvPolyPage1->rede_status_satClick();
    window.AdvPolyPage1->rede_status_sat_ativacao->setText(code);
}

// The text argument `index` (0 is the session number) of the last call of
// `exportName`, as the library received it.
inline QByteArray TextArgument(const FakeSat& fake, const char* exportName, std::size_t index) {
    const std::vector<FakeSatArgument> arguments = fake.LastArguments(exportName);
    if (index >= arguments.size()) {
        return QByteArrayLiteral("<missing>");
    }
    return QByteArray::fromStdString(arguments[index].text);
}

inline std::int32_t NumberArgument(const FakeSat& fake, const char* exportName, std::size_t index) {
    const std::vector<FakeSatArgument> arguments = fake.LastArguments(exportName);
    return index < arguments.size() ? arguments[index].number : -1;
}
