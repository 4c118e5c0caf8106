#pragma once
// The command line's monitoring commands: "status --formato json|prometheus"
// (the operational status for programs, optionally written atomically to
// --saida) and "verificar" (a check in the monitoring-plugins convention).
// Both make exactly one ConsultarStatusOperacional call, and both still
// answer in their format when the library is missing or the call fails.

#include <functional>
#include <iosfwd>

#include "cli/cli_request.h"
#include "sat/un_global.h"

// True for the requests RunMonitoringCommand serves.
bool IsMonitoringRequest(const CliRequest& request);

// As RunCliCommand. Exit status: for "status", that of the other commands
// (0 answered, 1 refused or failed, 2 usage, 3 no library); for "verificar",
// the check's state (0 OK, 1 AVISO, 2 CRÍTICO, 3 DESCONHECIDO).
int RunMonitoringCommand(const CliRequest& request, SatSession& session, std::ostream& out,
                         std::ostream& usage, const std::function<bool()>& bindLibrary);
