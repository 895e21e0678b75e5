#include "archive/csv_table.h"

#include <cmath>
#include <vector>

namespace {

constexpr const char *LINE_END = "\r\n";

// One line of fields; a field is quoted when it holds a separator, a quote
// or a line end, its quotes doubled.
struct csv_line {
    std::string text;
    bool first = true;
};

void add_field(csv_line &l, const std::string &field)
{
    std::string &line = l.text;
    if (!l.first)
        line += ',';
    l.first = false;
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
        line += field;
        return;
    }
    line += '"';
    for (char c : field) {
        if (c == '"')
            line += '"';
        line += c;
    }
    line += '"';
}

// A number as the JSON record writes it (the fewest digits that read back as
// the same float); empty when there is none.
std::string number(float v)
{
    return std::isfinite(v) ? results_json(v).dump() : std::string();
}

// The verdicts by their record names: the two reports share the grayscale
// ΔE2000 average, so it has one column.
std::vector<const char *> verdict_keys()
{
    std::vector<const char *> keys;
    for (const verdict_limit_t &l : verdict_limits) {
        bool seen = false;
        for (const char *k : keys)
            seen = seen || std::string(k) == l.key;
        if (!seen)
            keys.push_back(l.key);
    }
    return keys;
}

const verdict_cell_t *cell_of(const job_row_t &row, const char *key)
{
    for (verdict_id id : report_verdicts(row.hdr))
        if (std::string(verdict_limits[id].key) == key)
            return &row.verdicts[id];
    return nullptr;
}

}  // namespace

std::string csv_header()
{
    csv_line line;
    for (const char *f : {"file", "report", "eotf", "color_space", "gamma"})
        add_field(line, f);
    for (const char *key : verdict_keys()) {
        add_field(line, key);
        add_field(line, std::string(key) + "_pass");
    }
    add_field(line, "pass");
    return line.text + LINE_END;
}

std::string csv_row(const job_row_t &row)
{
    csv_line line;
    add_field(line, row.file);
    add_field(line, row.hdr ? "HDR" : "SDR");
    add_field(line, row.eotf);
    add_field(line, row.color_space);
    add_field(line, number(row.gamma));
    for (const char *key : verdict_keys()) {
        const verdict_cell_t *c = cell_of(row, key);
        add_field(line, c != nullptr ? number(c->value) : "");
        add_field(line, c != nullptr ? (c->pass ? "true" : "false") : "");
    }
    add_field(line, row.pass ? "true" : "false");
    return line.text + LINE_END;
}
