// The device serial number from the boot-loader environment.
#pragma once
#include <string>
#include <vector>

// How long the reader may take; past it, it is killed and the job has no
// serial number.
inline constexpr double SN_READER_SECONDS = 5;

// Runs the reader ("fw_printenv SN") and returns its last output line as far
// as it fits 29 characters ("SN=value", with its line end), or "" when the
// value does not end in a digit. A reader that is not installed reads as no
// output; one that cannot be started for another reason ends the process
// with status 1. A reader that does not finish within SN_READER_SECONDS
// gives "", noted in `warnings` when given.
std::string read_serial_number(std::vector<std::string> *warnings = nullptr);

// The value of the reader's line: without "SN=", with its line end as read.
std::string serial_number_value(const std::string &line);
