#pragma once
// Stands in for the message dialog: keeps every message a rule shows, as
// UTF-8 so that failures print readably, and answers OK.

#include <QByteArray>
#include <QList>

#include "rules/cp1252.h"
#include "rules/show_message.h"

struct MessageRecorder {
    QList<QByteArray> shown;

    ShowMessage Shower() {
        return [this](const std::string& cp1252Text) {
            shown.append(QByteArray::fromStdString(Cp1252ToUtf8(cp1252Text)));
            return 1;
        };
    }
};
