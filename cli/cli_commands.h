#pragma once
// The commands of dravovexa-cli, one per SAT operation, each doing what the
// window's page does around the operation: the same checks and documents
// before it, the same result text after it.

#include <functional>
#include <iosfwd>

#include "cli/cli_request.h"
#include "sat/un_global.h"

// Runs request.command on session and returns the exit status. Messages go
// through the session's user interface; the result text goes to out (UTF-8,
// one newline after it). Checks that need no device run first; then
// bindLibrary loads the SAT library (false ends with kExitNoLibrary), and the
// operation runs. usage receives the reason of a usage error.
int RunCliCommand(const CliRequest& request, SatSession& session, std::ostream& out,
                  std::ostream& usage, const std::function<bool()>& bindLibrary);
