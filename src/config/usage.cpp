#include "config/usage.h"

#include <cstring>

#include "config/paths.h"
#include "config/reference.h"

namespace {

constexpr const char *VALUE_OPTIONS[] = {"-colorSpace", "-EOTF", "-gamma", "-cct", "-lum", "-dev", "-testFilePath"};

// Appends the words, separated by ", " and wrapped to lines indented like
// the option descriptions.
void append_wrapped(std::string &out, const std::string &words)
{
    constexpr size_t INDENT = 21, WIDTH = 79;
    size_t column = INDENT;
    size_t start = 0;
    while (start < words.size()) {
        size_t end = words.find(", ", start);
        end = end == std::string::npos ? words.size() : end + 2;
        const std::string word = words.substr(start, end - start);
        if (column + word.size() > WIDTH + 1 && column > INDENT) {
            while (!out.empty() && out.back() == ' ')
                out.pop_back();
            out += "\n" + std::string(INDENT, ' ');
            column = INDENT;
        }
        out += word;
        column += word.size();
        start = end;
    }
    out += "\n";
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
    std::string spaces;
    for (const standard_t &s : standard_type)
        spaces += std::string(spaces.empty() ? "" : ", ") + s.name;
    out += "  -colorSpace NAME   colour space (default DCI-P3): ";
    append_wrapped(out, spaces);

    out += "  -EOTF NAME         ";
    append_wrapped(out, std::string(eotf_names[0]) + ", " + eotf_names[1] + " (SDR report), " + eotf_names[2] +
                            ", " + eotf_names[3] + " (HDR report) (default Power)");
    out += "  -gamma G           target gamma, 1.0 to 2.8 (default 2.4)\n";

    std::string whites;
    for (const white_t &w : white_type)
        whites += std::string(whites.empty() ? "" : ", ") + std::to_string(w.cct) + " " + w.name;
    out += "  -cct K             white point by CCT (default 6500; 6300 selects 6301): ";
    append_wrapped(out, whites);

    out += "  -lum L             HLG peak luminance in cd/m2 (default: the measured white)\n";
    std::string sensors;
    for (int id = 0; id < 9; ++id)
        sensors += std::string(sensors.empty() ? "" : ", ") + std::to_string(id) + " " +
                   (sensor_name[id][0] != '\0' ? sensor_name[id] : "(none)");
    out += "  -dev N             sensor (default 0): ";
    append_wrapped(out, sensors);
    out += "  -testFilePath FILE test data file (default ";
    out += DEFAULT_TEST_FILE;
    out += ")\n  -h, --help         this text\n";
    return out;
}
