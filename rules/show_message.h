#pragma once
// How the field rules and the document builders report a refusal. The rules
// cannot see the user interface: the page passes its message entry
// (SatUserInterface::ShowMessageDialog), tests pass a recorder. The text is
// Windows-1252; the result is the dialog's modal result, which the rules
// never need.

#include <functional>
#include <string>

using ShowMessage = std::function<int(const std::string& cp1252Text)>;
