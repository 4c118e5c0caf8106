#pragma once
// How the core reaches the user. The core never touches a widget: the main
// window implements this with the real message dialog and wait panel, the
// command line with standard error, the tests with a recorder.

#include <functional>
#include <string>

class SatUserInterface {
public:
    virtual ~SatUserInterface() = default;

    // Shows one message (Windows-1252, markers such as "[i]" or "[e]" still in
    // it) and returns the modal result of the button or key that closed it:
    // 1 OK, 2 cancel, 4 edit, 6 yes, 7 no.
    virtual int ShowMessageDialog(const std::string& text) = 0;

    // Hides the wait panel if it is showing.
    virtual void FechaAguarde() = 0;

    // Runs one raw step of the SAT library (loading it, resolving its entry
    // points, one call of an export) and returns when it is over, rethrowing
    // what it threw. The steps carry no dialog and touch nothing but their
    // own locals. By default they run right here; the window runs them on
    // its library thread while it keeps painting, the command line may give
    // up after a time limit.
    virtual void RunLibraryCall(const std::function<void()>& step) { step(); }
};
