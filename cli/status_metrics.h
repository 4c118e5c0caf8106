#pragma once
// The status reading in the Prometheus text format, for node_exporter's
// textfile collector: metrics named dravovexa_sat_*, the device's serial
// number as the label "serie". Durations are in seconds, as Prometheus
// names its base unit; a value the device did not give is left out.
// dravovexa_sat_up is 1 only when the device answered its status.

#include <string>

#include "cli/status_reading.h"

std::string FormatStatusMetrics(const StatusReading& reading);
