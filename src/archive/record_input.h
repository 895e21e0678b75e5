// What analyzer-results reads: test data files, which it judges, and the
// records the analyzer wrote (1.json, a PNG capture's text chunk) or
// analyzer-results printed (one record per line), taken as they were judged.
#pragma once
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "measure/results.h"

enum class input_kind {
    test_data,   // anything that is not one of the others, judged again
    png,         // a capture: the record of its text chunk
    record,      // one indented record (1.json)
    json_lines,  // one compact record per line
};

// Tells the kind from the first bytes of the file (after a UTF-8 BOM and
// blanks, "{" alone on its line opens a record, any other "{" a line); a file that cannot be
// opened as a regular file is taken for test data, whose reader reports it.
input_kind input_kind_of(const char *path);

// The record text of a PNG's "analyzer-results" text chunk; nullopt when the
// file is no PNG or carries none.
std::optional<std::string> png_record_text(const char *path);

// The record of a 1.json or a PNG; nullopt when it holds none. `why` says
// what is wrong.
std::optional<results_json> read_record_file(const char *path, input_kind kind, std::string &why);

// The part of a record line that the summary and the CSV read: everything but
// the patches (most of the record's bytes), parsed; nullopt when the line is
// no JSON object.
std::optional<results_json> parse_record_head(const std::string &line);

// The longest line of a JSON Lines file that is read (a record is a few KB).
inline constexpr size_t RECORD_LINE_MAX = 1 << 20;

// One piece of work: a file, or a block of lines of a JSON Lines file; a line
// over RECORD_LINE_MAX is held as an empty text.
struct input_item_t {
    input_kind kind = input_kind::test_data;
    std::string file;
    std::vector<std::string> lines;
    int64_t first_line = 0;  // number of the block's first line
};

// Hands out the files in turn; a JSON Lines file in blocks of lines, read as
// they are handed out, so that no file is held whole.
class input_queue {
public:
    explicit input_queue(std::vector<std::string> files) : files_(std::move(files)) {}
    ~input_queue();
    input_queue(const input_queue &) = delete;
    input_queue &operator=(const input_queue &) = delete;
    std::optional<input_item_t> next();

private:
    // The next line with its "\n" (empty when over RECORD_LINE_MAX); false
    // at the end of the file.
    bool read_line(std::string &line);

    std::vector<std::string> files_;
    size_t index_ = 0;
    FILE *lines_ = nullptr;  // the JSON Lines file being read
    std::string lines_file_;
    int64_t line_number_ = 0;
    std::string buffer_;  // what was read of it and not yet handed out
    size_t begin_ = 0, end_ = 0;
};
