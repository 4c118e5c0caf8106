#pragma once
// A SatUserInterface for tests: records every dialog text and every hiding of
// the wait panel, in order, and answers each dialog with the modal result 1.

#include <QByteArray>
#include <QByteArrayList>
#include <string>

#include "sat/user_interface.h"

class RecordingUserInterface : public SatUserInterface {
public:
    // One entry per event: "FechaAguarde", or the dialog's Windows-1252 text.
    QByteArrayList events;

    int ShowMessageDialog(const std::string& text) override {
        events.append(QByteArray::fromStdString(text));
        return 1;
    }
    void FechaAguarde() override { events.append(QByteArrayLiteral("FechaAguarde")); }

    // Only the dialog texts.
    QByteArrayList Dialogs() const {
        QByteArrayList dialogs;
        for (const QByteArray& event : events) {
            if (event != "FechaAguarde") {
                dialogs.append(event);
            }
        }
        return dialogs;
    }
};
