// analyzer-results: judges test data files as the analyzer does, without
// drawing, and prints each job's results record on standard output.
#include <fcntl.h>
#include <unistd.h>

#include <csignal>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "color/reference.h"
#include "config/configure.h"
#include "config/usage.h"
#include "measure/measure.h"
#include "measure/results.h"
#include "measure/verdict.h"

namespace {

// This program's own options: the front end's options keep their spelling.
constexpr long_option_t LONG_OPTIONS[] = {
    {"--version", nullptr, "print the program's name and version; judge nothing"},
    {"--help", nullptr, "this text; judge nothing"},
};

constexpr usage_t USAGE = {
    "analyzer-results",
    "Usage: analyzer-results [options] [test-data-file ...]\n"
    "\n"
    "Judges test data files against the target as the analyzer does, without\n"
    "drawing, and prints the results record (JSON) on standard output: the\n"
    "file of -testFilePath (or the default file) as one indented record; files\n"
    "named after the options, in turn with the same target, as one compact\n"
    "record per line (JSON Lines). The analyzer's console lines go to standard\n"
    "error.\n",
    LONG_OPTIONS,
    "  ANALYZER_ROOT      re-roots the default test data file under this folder\n",
    "  /usr/local/app/analyzer_result.csv\n"
    "                     the default test data file\n",
    "  0                  every file was judged and its record written\n"
    "  1                  a file could not be read (the others are still\n"
    "                     judged) or the output could not be written\n"
    "  255                an option value was rejected; no file was judged\n",
};

struct command_line {
    std::vector<char *> options;  // the analyzer's own, with argv[0] first
    std::vector<const char *> files;
};

// Options and their values go to the analyzer's reader as they stand;
// arguments that are neither an option nor an option's value are files.
command_line split(int argc, char **argv)
{
    command_line c;
    c.options.push_back(argv[0]);
    for (int i = 1; i < argc; ++i) {
        if (is_value_option(argv[i])) {
            c.options.push_back(argv[i]);
            if (i + 1 < argc)
                c.options.push_back(argv[++i]);
        } else if (argv[i][0] == '-') {
            c.options.push_back(argv[i]);
        } else {
            c.files.push_back(argv[i]);
        }
    }
    c.options.push_back(nullptr);
    return c;
}

// Writes all of `text`, as one write where the output takes it whole.
bool write_whole(int fd, const std::string &text)
{
    for (size_t done = 0; done < text.size();) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

int main(int argc, char **argv)
{
    if (print_help_or_version(take_long_options(argc, argv, LONG_OPTIONS), USAGE))
        return 0;
    // Standard output carries the records only: the descriptor is kept for
    // them, and everything printed to stdout goes to standard error, a whole
    // line at a time so that it never cuts into this program's own lines.
    const int json_fd = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
    if (json_fd < 0 || dup2(STDERR_FILENO, STDOUT_FILENO) < 0) {
        fprintf(stderr, "analyzer-results: standard output: %s\n", strerror(errno));
        return 1;
    }
    setvbuf(stdout, nullptr, _IOLBF, 0);
    // A file size limit fails the write instead of ending the program.
    signal(SIGXFSZ, SIG_IGN);

    command_line c = split(argc, argv);
    settings_t settings = default_settings();
    if (read_configure(static_cast<int>(c.options.size()) - 1, c.options.data(), settings) < 0)
        return 255;
    const bool lines = !c.files.empty();
    if (!lines || settings.test_file_path_set)
        c.files.insert(c.files.begin(), settings.test_file_path.c_str());

    // Every job is evaluated against the same target, as a run of its own,
    // and its record written as soon as it is judged.
    int status = 0;
    for (const char *file : c.files) {
        const job_t job = evaluate(settings.target, file);
        fflush(stdout);
        if (!job.evaluated) {
            fprintf(stderr, "analyzer-results: cannot read the test data file \"%s\"\n", file);
            status = 1;
            continue;
        }
        const std::string text =
            results_record(job, "", sensor_shown(settings.sensor_id), settings.warnings).dump(lines ? -1 : 2) + "\n";
        if (!write_whole(json_fd, text)) {
            fprintf(stderr, "analyzer-results: writing the records: %s\n", strerror(errno));
            return 1;
        }
    }
    return status;
}
