#pragma once
// The check on a sale or cancellation document read from a file, before it
// goes to the SAT library.

#include <string_view>

#include "rules/show_message.h"

// The library receives a document as a C text, which ends at its first NUL
// byte: a document holding one would reach the device cut short, and the
// device would issue or cancel what it received. For such a document this
// shows one "[e]" message naming fileName (Windows-1252) and returns false;
// nothing must then be sent.
bool IsSendableDocument(std::string_view document, std::string_view fileName,
                        const ShowMessage& show);
