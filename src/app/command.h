// Runs an external program with an argument vector (never through a shell)
// and waits for it.
#pragma once
#include <string>
#include <vector>

struct command_result {
    int status = -1;        // wait status; -1 when the program did not run
    int start_error = 0;    // errno of a failed start, 0 when it started
    std::string output;     // its standard output, when asked for
    bool timed_out = false;  // killed at the time limit
};

// Starts args[0] (looked up on PATH when it holds no slash) with `args`
// and the process environment, and waits for it; with `capture_output` its
// standard output is collected into the result. With a positive
// `time_limit` (seconds) it runs in a process group of its own, which is
// killed when the limit passes; what it printed until then is kept.
command_result run_command(const std::vector<std::string> &args, bool capture_output = false,
                           double time_limit = 0);

// Kills the process group of a command with a time limit that is still
// running; for a termination signal's handler (async-signal-safe), so that
// the command does not outlive the run.
void kill_timed_command();
