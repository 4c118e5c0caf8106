#pragma once
// Messages of the core as the command line shows them: on standard error,
// one block per message, in the place of the window's message dialog.

#include <iosfwd>
#include <string>

#include "sat/user_interface.h"

struct MessageBlock {
    std::string title; // UTF-8, as the dialog's title strip would read
    std::string text;  // Windows-1252, the markers that chose the look taken out
};

// The message dialog's reading of the markers (rules/message_markers.h): its
// title and the text without the markers that chose the look.
MessageBlock MessageAsBlock(const std::string& cp1252Text);

// The block as written: the title, the text's lines (CR LF, LF and CR end a
// line), an empty line; all UTF-8, lines ended by "\n".
std::string FormatMessageBlock(const MessageBlock& block);

// Shows every message as a block on a stream and answers it with OK. There
// is no wait panel to hide.
class StreamUserInterface : public SatUserInterface {
public:
    explicit StreamUserInterface(std::ostream& stream) : stream_(stream) {}
    int ShowMessageDialog(const std::string& text) override;
    void FechaAguarde() override {}

private:
    std::ostream& stream_;
};
