#pragma once
// How the core reaches the user. The core never touches a widget: the main
// window implements this with the real message dialog and wait panel, the
// command line with standard error, the tests with a recorder.

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
};
