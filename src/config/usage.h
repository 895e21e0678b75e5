// What both programs know about the command line before reading it: the
// options that take a value, the request for help, and the usage text.
#pragma once
#include <string>

// True for an option that takes the next argument as its value.
bool is_value_option(const char *arg);

// True when "--help" or "-h" stands where an option may stand (not as the
// value of another option).
bool asks_for_help(int argc, char *const *argv);

// The options with their values and defaults, for a usage text.
std::string options_usage();
