#include "config/usage.h"

#include <cstdio>
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
    out += "  -testFilePath FILE\n                     test data file (default ";
    out += DEFAULT_TEST_FILE;
    out += ")\n";
    return out;
}

long_options_t take_long_options(int &argc, char **argv, std::span<const long_option_t> table)
{
    long_options_t found;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const char *arg = strcmp(argv[i], "-h") == 0 ? "--help" : argv[i];
        const long_option_t *option = nullptr;
        for (const long_option_t &row : table)
            if (strcmp(arg, row.name) == 0)
                option = &row;
        if (option == nullptr) {
            // Not ours: kept, with the value of a front-end option.
            argv[kept++] = argv[i];
            if (is_value_option(argv[i]) && i + 1 < argc)
                argv[kept++] = argv[++i];
            continue;
        }
        // A value that starts with "-" is the next option: the value was left out.
        if (option->value == nullptr) {
            found.given[option->name] = "";
        } else if (i + 1 < argc && argv[i + 1][0] != '\0' && argv[i + 1][0] != '-') {
            found.given[option->name] = argv[++i];
        } else if (found.error.empty()) {
            found.error = std::string(option->name) + " needs its " + option->value;
        }
    }
    argc = kept;
    argv[kept] = nullptr;
    return found;
}

std::string long_options_usage(std::span<const long_option_t> table)
{
    std::string out;
    for (const long_option_t &row : table) {
        std::string name = strcmp(row.name, "--help") == 0 ? "-h, --help" : row.name;
        if (row.value != nullptr)
            name = name + " " + row.value;
        char line[32];
        snprintf(line, sizeof line, "  %-18s ", name.c_str());
        out += line;
        // Lines after the first are indented like the values lists.
        for (const char *c = row.help; *c != '\0'; ++c)
            out += *c == '\n' ? std::string("\n") + std::string(21, ' ') : std::string(1, *c);
        out += "\n";
    }
    return out;
}

bool print_help_or_version(const long_options_t &given, const usage_t &usage)
{
    if (given.has("--help"))
        printf("%s\n%s\nOptions of this program:\n%s\nEnvironment:\n%s\nFiles:\n%s\nExit status:\n%s", usage.intro,
               options_usage().c_str(), long_options_usage(usage.long_options).c_str(), usage.environment,
               usage.files, usage.exit_status);
    else if (given.has("--version"))
        printf("%s %s\n", usage.program, project_version());
    else
        return false;
    return true;
}

const char *project_version()
{
    return ANALYZER_VERSION;
}
