#pragma once
// The main window as the page tests use it: messages recorded instead of
// shown, the fake SAT library bound, the first page reset over, and a device
// status with its default code chosen on the network page.

#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>
#include <string>
#include <vector>

#include "dialogs/Yancomp.h"
#include "rules/cp1252.h"
#include "sat/un_global.h"
#include "tests/fake_sat/fake_sat_control.h"
#include "ui/main_window.h"
#include "ui/pages/network_page.h"

class RecordingWindow : public TFprincipal {
public:
    using TFprincipal::TFprincipal;
    // Every message of the core and of the pages, in UTF-8, markers kept.
    std::vector<std::string> messages;

    int ShowMessageDialog(const std::string& cp1252Text) override {
        messages.push_back(Cp1252ToUtf8(cp1252Text));
        return 1;
    }
};

// Opens a shown window bound to `fake`, its settings file in `folder`.
inline std::unique_ptr<RecordingWindow> OpenPageWindow(const FakeSat& fake,
                                                       const QTemporaryDir& folder) {
    TFprincipal::Options options;
    options.showSplash = false;
    options.satLibraryPath = fake.LibraryPath();
    options.settingsFilePath = folder.filePath(QStringLiteral("dravovexa.ini")).toStdString();
    auto window = std::make_unique<RecordingWindow>(options);
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get())) {
        qWarning("the main window never became active");
    }
    // The first page reset comes 200 ms after the show; it would undo the
    // status a test chooses.
    if (!QTest::qWaitFor([&] { return !window->Timer1->isActive(); })) {
        qWarning("the first page reset never ran");
    }
    if (!window->Session().BindSatLibrary()) {
        qWarning("the fake SAT library could not be bound");
    }
    return window;
}

// The device status of the network page (0 "NÃO ATIVADO", 1 "ATIVADO",
// 2 "KIT DE DESENVOLVEDOR") and its default activation code.
inline void ChooseDeviceStatus(TFprincipal& window, int status, const QString& code) {
    window.AdvPolyPage1->rede_status_sat->setCurrentIndex(status);
    window.AdvPolyPage1->rede_status_satClick(); // as the user's choice applies it
    window.AdvPolyPage1->rede_status_sat_ativacao->setText(code);
}
