#pragma once
// The frame every page runs a SAT operation in: the wait panel shows the
// operation's message while the call blocks the window; afterwards, whether
// the operation returned or failed, the panel is hidden and the page shows
// its result (where it has one).

#include <QString>

#include <utility>

#include "ui/pages/page_host.h"

template <typename Operation, typename ShowResult>
void RunInWaitFrame(TPageHost& host, const QString& message, Operation&& operation,
                    ShowResult&& showResult) {
    host.MostraAguarde(message);
    try {
        operation();
    } catch (...) {
        host.FechaAguarde();
        showResult();
        throw;
    }
    host.FechaAguarde();
    showResult();
}

template <typename Operation>
void RunInWaitFrame(TPageHost& host, const QString& message, Operation&& operation) {
    RunInWaitFrame(host, message, std::forward<Operation>(operation), [] {});
}
