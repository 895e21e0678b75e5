// analyzer-results: judges test data files as the analyzer does, without
// drawing, reads the records the analyzer wrote, and prints each job's
// results record, a CSV table or a summary of them all on standard output.
#include <fcntl.h>
#include <unistd.h>

#include <csignal>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/command.h"
#include "archive/batch_summary.h"
#include "archive/csv_table.h"
#include "archive/job_row.h"
#include "archive/ordered_jobs.h"
#include "archive/record_input.h"
#include "color/reference.h"
#include "config/configure.h"
#include "config/usage.h"
#include "measure/console.h"
#include "measure/measure.h"
#include "measure/results.h"
#include "measure/verdict.h"

namespace {

// This program's own options: the front end's options keep their spelling.
constexpr long_option_t LONG_OPTIONS[] = {
    {"--csv", nullptr, "prints a CSV table (RFC 4180): a header, then per job its\nfile, report, target, every verdict's value and pass, and pass"},
    {"--summary", nullptr, "prints a summary to read: jobs passed, per verdict the\nfailures and the worst value with its file, per target the\npass rate, the jobs whose data carried warnings"},
    {"--summary-png", "FILE", "draws the summary as one 1920 x 1080 page into FILE"},
    {"--jobs", "N", "judges on N threads (default: the machine's cores); the\noutput keeps the files' order, each record whole"},
    {"--version", nullptr, "print the program's name and version; judge nothing"},
    {"--help", nullptr, "this text; judge nothing"},
};

constexpr usage_t USAGE = {
    "analyzer-results",
    "Usage: analyzer-results [options] [file ...]\n"
    "\n"
    "Judges test data files against the target as the analyzer does, without\n"
    "drawing, and prints the results record (JSON) on standard output: the\n"
    "file of -testFilePath (or the default file) as one indented record; files\n"
    "named after the options, in turn with the same target, as one compact\n"
    "record per line (JSON Lines). A file may also hold records the analyzer\n"
    "wrote (1.json, or a PNG capture, whose text chunk holds its record) or\n"
    "that analyzer-results printed (one per line): they are taken as they were\n"
    "judged, target included. --csv or --summary print a table or a summary\n"
    "instead of the records. The analyzer's console lines go to standard\n"
    "error, each led by the name of its file.\n",
    LONG_OPTIONS,
    "  ANALYZER_ROOT      re-roots the default test data file under this folder\n"
    "  TMPDIR             where --summary-png passes the summary to\n"
    "                     analyzer-summary-png (default /tmp)\n",
    "  /usr/local/app/analyzer_result.csv\n"
    "                     the default test data file\n"
    "  analyzer-summary-png\n"
    "                     beside this program: draws the --summary-png page\n",
    "  0                  every file was judged and its record written\n"
    "  1                  a file could not be read or is neither test data nor\n"
    "                     a record (the others are still judged), or the output\n"
    "                     could not be written\n"
    "  255                an option value was rejected; no file was judged\n",
};

enum class output_format { records, csv, summary };

struct command_line {
    std::vector<char *> options;  // the analyzer's own, with argv[0] first
    std::vector<std::string> files;
    output_format format = output_format::records;
    const char *summary_png = nullptr;
    int jobs = 0;  // 0: the machine's cores
    std::string error;
};

// A positive thread count; 0 when the text is none.
int thread_count(const char *text)
{
    char *end = nullptr;
    errno = 0;
    const long n = strtol(text, &end, 10);
    return errno == 0 && end != text && *end == '\0' && n > 0 && n <= 1024 ? static_cast<int>(n) : 0;
}

// This program's own options, already taken out of argv, set the output;
// the analyzer's options and their values go to its reader as they stand;
// arguments that are neither an option nor an option's value are files.
command_line split(int argc, char **argv, const long_options_t &own)
{
    command_line c;
    c.error = own.error;
    if (own.has("--csv") && own.has("--summary"))
        c.error = "--csv and --summary exclude each other";
    c.format = own.has("--csv") ? output_format::csv : own.has("--summary") ? output_format::summary : output_format::records;
    if (own.has("--summary-png"))
        c.summary_png = own.given.at("--summary-png").c_str();
    if (own.has("--jobs") && (c.jobs = thread_count(own.given.at("--jobs").c_str())) == 0)
        c.error = "--jobs takes a number of threads from 1 to 1024, not \"" + own.given.at("--jobs") + "\"";
    c.options.push_back(argv[0]);
    for (int i = 1; i < argc; ++i) {
        if (is_value_option(argv[i])) {
            c.options.push_back(argv[i]);
            if (i + 1 < argc)
                c.options.push_back(argv[++i]);
        } else if (argv[i][0] == '-') {
            c.options.push_back(argv[i]);
        } else {
            c.files.emplace_back(argv[i]);
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

// What the jobs share: the target, the command line's warnings and how the
// records are written.
struct job_context {
    const settings_t &settings;
    bool records;  // the records' text is wanted
    int indent;    // -1: one line per record
};

// What one item gave: its console lines (each led by its file's name), its
// jobs' rows, the records' text, and whether anything could not be read.
struct item_output {
    std::string console;
    std::vector<job_row_t> rows;
    std::string records;
    bool failed = false;
};

void add_console_lines(item_output &out, const std::string &file, const std::string &text)
{
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        out.console += file;
        out.console += ": ";
        out.console.append(text, start, end - start);
        if (out.console.back() != '\n')
            out.console += '\n';
        start = end;
    }
}

void cannot_read(item_output &out, const std::string &file, const char *why)
{
    if (why != nullptr)
        add_console_lines(out, file, std::string("analyzer-results: ") + why);
    out.console += "analyzer-results: cannot read the test data file \"" + file + "\"\n";
    out.failed = true;
}

void judge_test_data(const job_context &ctx, const input_item_t &item, item_output &out)
{
    // Each worker thread keeps one buffer for the console lines of its jobs.
    thread_local console_capture console;
    const job_t job = evaluate(ctx.settings.target, item.file.c_str());
    add_console_lines(out, item.file, console.take());
    if (!job.evaluated) {
        cannot_read(out, item.file, nullptr);
        return;
    }
    out.rows.push_back(job_row(job));
    if (ctx.records)
        out.records = results_record(job, "", sensor_shown(ctx.settings.sensor_id), ctx.settings.warnings)
                          .dump(ctx.indent) +
                      "\n";
}

void read_record(const job_context &ctx, const input_item_t &item, item_output &out)
{
    std::string why;
    const std::optional<results_json> record = read_record_file(item.file.c_str(), item.kind, why);
    job_row_t row;
    if (!record || !job_row(*record, row)) {
        cannot_read(out, item.file, record ? "not a results record" : why.c_str());
        return;
    }
    // A device writes every record with its own test data file's path: the
    // record's file tells the jobs of many devices apart.
    row.file = utf8_text(item.file);
    out.rows.push_back(std::move(row));
    if (ctx.records)
        out.records = record->dump(ctx.indent) + "\n";
}

void read_record_lines(const job_context &ctx, const input_item_t &item, item_output &out)
{
    if (item.lines.empty())
        cannot_read(out, item.file, "cannot be opened");
    int64_t number = item.first_line;
    for (const std::string &line : item.lines) {
        const int64_t n = number++;
        if (!line.empty() && line.find_first_not_of(" \t\r\n") == std::string::npos)
            continue;
        job_row_t row;
        const std::optional<results_json> head = line.empty() ? std::nullopt : parse_record_head(line);
        if (!head || !job_row(*head, row)) {
            char where[96];
            snprintf(where, sizeof where, "line %lld is not a results record%s", static_cast<long long>(n),
                     line.empty() ? " (longer than 1 MiB)" : "");
            add_console_lines(out, item.file, std::string("analyzer-results: ") + where);
            out.failed = true;
            continue;
        }
        out.rows.push_back(std::move(row));
        if (ctx.records) {
            out.records += line;
            if (line.back() != '\n')
                out.records += '\n';
        }
    }
}

item_output work_on(const job_context &ctx, input_item_t &item)
{
    item_output out;
    switch (item.kind) {
    case input_kind::test_data: judge_test_data(ctx, item, out); break;
    case input_kind::png:
    case input_kind::record: read_record(ctx, item, out); break;
    case input_kind::json_lines: read_record_lines(ctx, item, out); break;
    }
    return out;
}

// The directory of this program, where the drawing program is installed too.
std::string program_dir()
{
    char path[PATH_MAX] = {0};
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return ".";
    std::string p(path, static_cast<size_t>(n));
    return p.substr(0, p.rfind('/'));
}

// The picture is drawn by analyzer-summary-png, which links the toolkit; this
// program does not. It gets the summary as a JSON file.
bool draw_summary_png(const batch_summary_t &summary, const char *png)
{
    const char *tmp = getenv("TMPDIR");
    std::string path = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/analyzer-summary-XXXXXX";
    const int fd = mkstemp(path.data());
    if (fd < 0) {
        fprintf(stderr, "analyzer-results: --summary-png: %s: %s\n", path.c_str(), strerror(errno));
        return false;
    }
    const std::string text = summary_json(summary).dump(-1, ' ', false, results_json::error_handler_t::replace);
    const bool written = write_whole(fd, text) && close(fd) == 0;
    bool ok = false;
    if (written) {
        const command_result r = run_command({program_dir() + "/analyzer-summary-png", path, png});
        ok = r.status == 0;
        if (r.start_error != 0)
            fprintf(stderr, "analyzer-results: --summary-png: cannot start analyzer-summary-png: %s\n",
                    strerror(r.start_error));
        else if (!ok)
            fprintf(stderr, "analyzer-results: --summary-png: %s was not drawn\n", png);
    } else {
        fprintf(stderr, "analyzer-results: --summary-png: %s: %s\n", path.c_str(), strerror(errno));
    }
    unlink(path.c_str());
    return ok;
}

}  // namespace

int main(int argc, char **argv)
{
    const long_options_t own = take_long_options(argc, argv, LONG_OPTIONS);
    if (print_help_or_version(own, USAGE))
        return 0;
    // Standard output carries the records only: the descriptor is kept for
    // them, and everything printed to stdout goes to standard error, a whole
    // line at a time so that it never cuts into this program's own lines.
    const int out_fd = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
    if (out_fd < 0 || dup2(STDERR_FILENO, STDOUT_FILENO) < 0) {
        fprintf(stderr, "analyzer-results: standard output: %s\n", strerror(errno));
        return 1;
    }
    setvbuf(stdout, nullptr, _IOLBF, 0);
    // A file size limit fails the write instead of ending the program.
    signal(SIGXFSZ, SIG_IGN);

    command_line c = split(argc, argv, own);
    if (!c.error.empty()) {
        fprintf(stderr, "analyzer-results: %s\n", c.error.c_str());
        return 255;
    }
    settings_t settings = default_settings();
    if (read_configure(static_cast<int>(c.options.size()) - 1, c.options.data(), settings) < 0)
        return 255;
    const bool lines = !c.files.empty();
    if (!lines || settings.test_file_path_set)
        c.files.insert(c.files.begin(), settings.test_file_path);

    const job_context ctx{settings, c.format == output_format::records, lines ? -1 : 2};
    const int threads = c.jobs > 0 ? c.jobs : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    batch_summary_t summary;
    int status = 0;
    bool written = c.format != output_format::csv || write_whole(out_fd, csv_header());

    // Each item's output is written whole, in the files' order, as soon as
    // the items before it are.
    input_queue queue(c.files);
    const bool all_written = written && run_in_order<input_item_t, item_output>(
        threads, static_cast<size_t>(threads) * 2, [&] { return queue.next(); },
        [&](input_item_t &item) { return work_on(ctx, item); },
        [&](item_output &out) {
            fputs(out.console.c_str(), stderr);
            status = out.failed ? 1 : status;
            std::string text = std::move(out.records);
            for (const job_row_t &row : out.rows) {
                add_job(summary, row);
                if (c.format == output_format::csv)
                    text += csv_row(row);
            }
            return write_whole(out_fd, text);
        });
    written = all_written && (c.format != output_format::summary || write_whole(out_fd, summary_text(summary)));
    if (!written) {
        fprintf(stderr, "analyzer-results: writing the records: %s\n", strerror(errno));
        return 1;
    }
    if (c.summary_png != nullptr && !draw_summary_png(summary, c.summary_png))
        status = 1;
    return status;
}
