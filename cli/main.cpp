// dravovexa-cli: the SAT operations from a command line, over the same core
// as the window. It loads the SAT library beside its own executable (or the
// one given with --sat-library) and draws session numbers from
// "dravovexa.ini" beside itself.

#include <algorithm>
#include <chrono>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "cli/call_time_limit.h"
#include "cli/cli_commands.h"
#include "cli/cli_request.h"
#include "cli/message_block.h"
#include "cli/status_check.h"
#include "sat/un_global.h"

int main(int argc, char** argv) {
    try {
        const std::vector<std::string> arguments(argv + 1, argv + argc);
        const CliParseResult parsed = ParseCliArguments(arguments);
        if (parsed.request.help) {
            std::cout << CliHelpText();
            return kExitSuccess;
        }
        // A monitoring check ends in the plugins' convention whatever went
        // wrong: a status line on standard output and UNKNOWN (3), never the
        // usage, time-limit or host statuses, which a monitor reads as states.
        const bool check =
            parsed.request.command == "verificar" ||
            std::find(arguments.begin(), arguments.end(), "verificar") != arguments.end();
        const auto reportUnknown = [](const std::string& why) {
            std::cout << UnknownCheck(why).line << '\n' << std::flush;
        };
        if (!parsed.error.empty()) {
            if (check) {
                reportUnknown(parsed.error);
                std::cerr << "dravovexa-cli: " << parsed.error << '\n';
                return static_cast<int>(CheckState::Unknown);
            }
            std::cerr << "dravovexa-cli: " << parsed.error << "\n\n" << CliHelpText();
            return kExitUsage;
        }

        TimeLimitedUserInterface ui(std::cerr);
        SatSession session(ui);
        // The library runs in its own process beside this one: a library that
        // crashes costs the call, not the command line's report of it.
        session.UseLibraryHost(SatHostPathBesideProgram());
        if (const auto limit = parsed.request.Value("tempo-limite")) {
            const auto seconds = ParseTimeLimitSeconds(*limit).value_or(0);
            ui.SetTimeLimit(std::chrono::seconds(seconds),
                            [&session] { session.AbandonLibraryCall(); });
            if (check) {
                ui.SetTimeLimitOutcome(static_cast<int>(CheckState::Unknown), [=] {
                    reportUnknown("a biblioteca SAT não respondeu em " + std::to_string(seconds) +
                                  " s");
                });
            }
        }
        if (const auto library = parsed.request.Value("sat-library")) {
            std::error_code error;
            const std::filesystem::path full = std::filesystem::absolute(*library, error);
            session.SetSatLibraryPath(error ? *library : full.string());
        }
        const auto bindLibrary = [&] {
            if (session.BindSatLibrary()) {
                return true;
            }
            if (!session.LastLoadError().empty()) {
                std::cerr << "dravovexa-cli: não foi possível carregar a biblioteca Vexa®: "
                          << session.LastLoadError() << '\n';
            }
            return false;
        };
        int status = RunCliCommand(parsed.request, session, std::cout, std::cerr, bindLibrary);
        if (session.LastCall().kind == SatAnswerKind::HostEnded && !check) {
            status = kExitHostEnded; // its message block is on standard error already
        }
        if (!session.LastFailure().empty()) {
            std::cerr << "dravovexa-cli: a operação foi interrompida: " << session.LastFailure()
                      << '\n';
        }
        return status;
    } catch (const std::exception& failure) {
        std::cerr << "dravovexa-cli: falha inesperada: " << failure.what() << '\n';
        return kExitRefused;
    }
}
