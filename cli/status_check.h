#pragma once
// The status reading judged as a monitoring check (the monitoring-plugins
// convention of Nagios, Icinga and Zabbix): a state with its exit status, one
// status line in Portuguese, then the performance data after a "|".

#include <optional>
#include <string>
#include <vector>

#include "cli/status_reading.h"

enum class CheckState { Ok = 0, Warning = 1, Critical = 2, Unknown = 3 };

// A value passes the warning or critical threshold when it is above it
// (below it, for the certificate's days).
struct CheckThresholds {
    double sefazDaysWarning = 5;
    double sefazDaysCritical = 8;
    double certificateDaysWarning = 30;
    double certificateDaysCritical = 7;
    double memoryPercentWarning = 80;
    double memoryPercentCritical = 95;
    double waitingWarning = 50;
    double waitingCritical = 500;
};

// The command-line option of each threshold ("sefaz-aviso", ...) and where it
// goes. Values are non-negative numbers ("7", "2.5", "2,5").
struct ThresholdOption {
    const char* name;
    double CheckThresholds::*value;
};
const std::vector<ThresholdOption>& ThresholdOptions();
std::optional<double> ParseThresholdValue(const std::string& text);

struct CheckResult {
    CheckState state = CheckState::Unknown;
    std::string line; // UTF-8, "SAT OK - ... | perfdata", no newline
};

// The verdict on a reading. A refused or failed query is Unknown, never
// Critical: the device's state is then not known.
CheckResult JudgeStatus(const StatusReading& reading, const CheckThresholds& thresholds);

// A check that could not run (a bad option, no activation code): Unknown.
CheckResult UnknownCheck(const std::string& why);
