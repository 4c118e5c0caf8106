#pragma once
// How the field rules and the document builders report a refusal. The rules
// cannot see the user interface: the page passes its message entry
// (SatUserInterface::ShowMessageDialog), tests pass a recorder. The text is
// Windows-1252; the result is the dialog's modal result, which the rules
// never need.

#include <functional>
#include <string>

using ShowMessage = std::function<int(const std::string& cp1252Text)>;

// Shows a refusal's one message (when there is a message entry) and gives
// the false that the refusing rule returns.
inline bool ShowRefusal(const ShowMessage& show, const std::string& cp1252Text) {
    if (show) {
        show(cp1252Text);
    }
    return false;
}
