// Start-up of the SAT side: finding, loading and binding the library and the
// first query that proves it alive.

#include <exception>
#include <filesystem>
#include <system_error>

#include "rules/cp1252.h"
#include "sat/un_global.h"

bool SatSession::BindSatLibrary() {
    lastLoadError_.clear();
    std::error_code error;
    if (!std::filesystem::is_regular_file(satLibraryPath_, error)) {
        ui_.ShowMessageDialog(Utf8ToCp1252("Biblioteca Vexa® não localizada !"));
        return false;
    }
    // The full path that was checked, never the bare file name: on Linux a
    // bare name searches the system's library paths, not the program's folder.
    // Loaded and resolved where it will be called: a library may set up
    // per-thread state when it is loaded.
    bool loaded = false;
    std::string loadError;
    SatLibraryAccess& library = *library_;
    const std::string& path = satLibraryPath_;
    ui_.RunLibraryCall([&] { loaded = library.Load(path, loadError); });
    if (!loaded) {
        lastLoadError_ = loadError;
        return false;
    }
    return true;
}

bool SatSession::LoadSatLibrary() {
    try {
        if (!BindSatLibrary()) {
            return false;
        }
        if (RunConsultarSAT()) {
            return true;
        }
        if (lastCall_.kind == SatAnswerKind::None) {
            // Given up before the call: a settings file that cannot be
            // written has had its own dialog; LastResponse says nothing.
            lastLoadError_ = lastFailure_;
            return false;
        }
        ui_.ShowMessageDialog(LastResponse + "[e]");
    } catch (const std::exception& failure) {
        lastLoadError_ = failure.what();
    } catch (...) {
        lastLoadError_ = "falha desconhecida";
    }
    return false;
}
