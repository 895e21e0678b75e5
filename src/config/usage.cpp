#include "config/usage.h"

#include <cstring>
#include <iterator>
#include <vector>

#include "color/reference.h"
#include "config/paths.h"
#include "config/sensors.h"

namespace {

constexpr const char *VALUE_OPTIONS[] = {"-colorSpace", "-EOTF", "-gamma", "-cct", "-lum", "-dev", "-testFilePath"};

// Appends a list of values on lines of their own, indented like the option
// descriptions and wrapped at 79 columns.
void append_values(std::string &out, const std::vector<std::string> &values)
{
    constexpr size_t INDENT = 21, WIDTH = 79;
    std::string line(INDENT, ' ');
    for (size_t i = 0; i < values.size(); ++i) {
        const std::string word = values[i] + (i + 1 < values.size() ? "," : "");
        if (line.size() > INDENT && line.size() + 1 + word.size() > WIDTH) {
            out += line + "\n";
            line.assign(INDENT, ' ');
        }
        if (line.size() > INDENT)
            line += ' ';
        line += word;
    }
    out += line + "\n";
}

}  // namespace

bool is_value_option(const char *arg)
{
    for (const char *name : VALUE_OPTIONS)
        if (strcmp(arg, name) == 0)
            return true;
    return false;
}

bool asks_for_help(int argc, char *const *argv)
{
    for (int i = 1; i < argc; ++i) {
        if (is_value_option(argv[i]))
            ++i;
        else if (strcmp(argv[i], "--help") == 0 || strcmp(argv[i], "-h") == 0)
            return true;
    }
    return false;
}

std::string options_usage()
{
    std::string out = "Options (each takes the next argument as its value):\n";
    std::vector<std::string> values;
    for (const standard_t &row : standard_type)
        values.emplace_back(row.name);
    out += "  -colorSpace NAME   colour space (default DCI-P3):\n";
    append_values(out, values);

    out += "  -EOTF NAME         transfer function and report (default Power):\n";
    values.clear();
    for (const eotf_row_t &row : eotf_table)
        values.push_back(std::string(row.name) + (row.hdr ? " (HDR)" : " (SDR)"));
    append_values(out, values);
    out += "  -gamma G           target gamma of Power and BT.1886, 1.0 to 2.8 (default 2.4)\n";

    values.clear();
    for (const white_t &row : white_type)
        values.push_back(std::to_string(row.cct) + " " + row.name);
    out += "  -cct K             white point by CCT (default 6500; 6300 selects 6301):\n";
    append_values(out, values);

    out += "  -lum L             HLG peak luminance in cd/m2 (default: the measured white)\n";
    values.clear();
    for (int id = 0; id < static_cast<int>(std::size(sensor_name)); ++id)
        values.push_back(std::to_string(id) + " " + (sensor_name[id][0] != '\0' ? sensor_name[id] : "(none)"));
    out += "  -dev N             sensor (default 0):\n";
    append_values(out, values);
    out += "  -testFilePath FILE test data file (default ";
    out += DEFAULT_TEST_FILE;
    out += ")\n  -h, --help         this text\n";
    return out;
}
