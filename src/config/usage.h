// What both programs know about the command line before reading it: the
// options that take a value, this program's own long options, and the usage
// text.
#pragma once
#include <map>
#include <span>
#include <string>

// True for an option that takes the next argument as its value.
bool is_value_option(const char *arg);

// The options with their values and defaults, for a usage text.
std::string options_usage();

// A long option of one program (not one of the front end's options): its
// name, the name of its value (null for a switch) and one line of help.
// Each program's table is the one place that lists its own options: the
// parser, the usage text and, through it, the man page follow it.
struct long_option_t {
    const char *name;
    const char *value;
    const char *help;
};

// The long options of the table found where an option may stand, by name
// ("--help" also for "-h"), with their values ("" for a switch); they are
// taken out of argv (argc shrinks), which keeps the other arguments in order
// for read_configure. `error` tells what is wrong (a value missing, or one
// that starts with "-"), else it is empty.
struct long_options_t {
    std::map<std::string, std::string> given;
    std::string error;
    bool has(const char *name) const { return given.count(name) != 0; }
};
long_options_t take_long_options(int &argc, char **argv, std::span<const long_option_t> table);

// The table's lines of a usage text.
std::string long_options_usage(std::span<const long_option_t> table);

// A program's usage text as --help prints it (and help2man reads it): the
// synopsis and description, the front end's options, the program's own,
// then the sections, each a block of lines.
struct usage_t {
    const char *program;
    const char *intro;  // "Usage: ..." and the description
    std::span<const long_option_t> long_options;
    const char *environment;
    const char *files;
    const char *exit_status;
};

// Prints the usage text for --help, or the name and version for --version,
// on standard output. True when either was asked for (the run ends there).
bool print_help_or_version(const long_options_t &given, const usage_t &usage);

// The project's version, as --version prints it after the program's name.
const char *project_version();
