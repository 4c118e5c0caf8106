#pragma once
// The frame every page runs a SAT operation in: the wait panel shows the
// operation's message while the call blocks the window; afterwards, whether
// the operation returned or failed, the panel is hidden and the page shows
// its result (where it has one).

#include <QString>

#include <utility>

#include "ui/main_window.h"

template <typename Operation, typename ShowResult>
void RunInWaitFrame(TFprincipal& window, const QString& message, Operation&& operation,
                    ShowResult&& showResult) {
    window.MostraAguarde(message);
    try {
        operation();
    } catch (...) {
        window.FechaAguarde();
        showResult();
        throw;
    }
    window.FechaAguarde();
    showResult();
}

template <typename Operation>
void RunInWaitFrame(TFprincipal& window, const QString& message, Operation&& operation) {
    RunInWaitFrame(window, message, std::forward<Operation>(operation), [] {});
}
