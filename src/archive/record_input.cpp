#include "archive/record_input.h"

#include <fcntl.h>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string_view>

#include "archive/png_text.h"
#include "measure/data_file.h"

namespace {

constexpr size_t LINES_PER_ITEM = 64;
constexpr unsigned char PNG_SIGNATURE[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
constexpr std::string_view UTF8_BOM = "\xEF\xBB\xBF";

// The first bytes of a regular file; empty when it is none.
std::string first_bytes(const char *path, size_t n)
{
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return {};
    std::string head(n, '\0');
    struct stat st{};
    ssize_t got = 0;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        got = read(fd, head.data(), n);
    close(fd);
    head.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return head;
}

// libpng's own messages would name no file; the caller says what failed.
void png_quiet(png_structp, png_const_charp) {}
[[noreturn]] void png_fail(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

bool read_png_text(FILE *fp, png_structp png, png_infop info, std::string &found)
{
    bool has_record = false;
    const bool read = read_png_text_chunks(png, info, fp, [&](const char *key, std::string_view text) {
        if (!has_record && strcmp(key, "analyzer-results") == 0) {
            found.assign(text);
            has_record = true;
        }
    });
    return read && has_record;
}

std::optional<std::string> read_whole(const char *path)
{
    FILE *fp = fopen(path, "rbe");
    if (fp == nullptr)
        return std::nullopt;
    std::string text;
    char buf[1 << 16];
    size_t n = 0;
    while ((n = fread(buf, 1, sizeof buf, fp)) > 0 && text.size() <= static_cast<size_t>(TEST_DATA_MAX_BYTES))
        text.append(buf, n);
    const bool ok = !ferror(fp) && text.size() <= static_cast<size_t>(TEST_DATA_MAX_BYTES);
    fclose(fp);
    return ok ? std::optional<std::string>(std::move(text)) : std::nullopt;
}

std::optional<results_json> parse_object(const std::string &text)
{
    results_json j = results_json::parse(text, nullptr, false);
    if (j.is_discarded() || !j.is_object())
        return std::nullopt;
    return j;
}

}  // namespace

input_kind input_kind_of(const char *path)
{
    // Enough for a BOM and the blanks an editor may leave before the "{".
    const std::string head = first_bytes(path, 4096);
    if (head.size() >= 2 && memcmp(head.data(), PNG_SIGNATURE, 2) == 0)
        return input_kind::png;
    const size_t start = head.find_first_not_of(" \t\r\n", head.rfind(UTF8_BOM, 0) == 0 ? UTF8_BOM.size() : 0);
    if (start == std::string::npos || head[start] != '{')
        return input_kind::test_data;
    // An indented record opens with "{" alone on its line.
    const size_t rest = head.find_first_not_of(" \t\r", start + 1);
    return rest != std::string::npos && head[rest] == '\n' ? input_kind::record : input_kind::json_lines;
}

std::optional<std::string> png_record_text(const char *path)
{
    FILE *fp = fopen(path, "rbe");
    if (fp == nullptr)
        return std::nullopt;
    std::string found;
    bool ok = false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, png_fail, png_quiet);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info != nullptr)
        ok = read_png_text(fp, png, info, found);
    png_destroy_read_struct(&png, &info, nullptr);
    fclose(fp);
    return ok ? std::optional<std::string>(std::move(found)) : std::nullopt;
}

std::optional<results_json> read_record_file(const char *path, input_kind kind, std::string &why)
{
    const std::optional<std::string> text = kind == input_kind::png ? png_record_text(path) : read_whole(path);
    if (!text) {
        why = kind == input_kind::png ? "no analyzer-results text chunk" : "cannot be read whole";
        return std::nullopt;
    }
    std::optional<results_json> r = parse_object(*text);
    if (!r)
        why = "not a results record (no JSON object)";
    return r;
}

std::optional<results_json> parse_record_head(const std::string &line)
{
    // The patches are written last. A string cannot hold this key as it
    // stands (its quotes would be escaped), so the first match is the
    // record's own member; a head that does not parse is read whole.
    const size_t at = line.find(",\"patches\":");
    if (at != std::string::npos) {
        std::string head = line.substr(0, at);
        head += '}';
        if (std::optional<results_json> r = parse_object(head))
            return r;
    }
    return parse_object(line);
}

input_queue::~input_queue()
{
    if (lines_ != nullptr)
        fclose(lines_);
}

std::optional<input_item_t> input_queue::next()
{
    if (lines_ != nullptr) {
        input_item_t item{input_kind::json_lines, lines_file_, {}, line_number_ + 1};
        std::string line;
        while (item.lines.size() < LINES_PER_ITEM && read_line(line)) {
            ++line_number_;
            item.lines.push_back(line);
        }
        if (!item.lines.empty())
            return item;
        fclose(lines_);
        lines_ = nullptr;
    }
    if (index_ == files_.size())
        return std::nullopt;
    input_item_t item{input_kind_of(files_[index_].c_str()), files_[index_], {}, 0};
    ++index_;
    if (item.kind == input_kind::json_lines) {
        lines_ = fopen(item.file.c_str(), "re");
        begin_ = end_ = 0;
        lines_file_ = item.file;
        line_number_ = 0;
        // A file that cannot be opened now is reported by its item.
        if (lines_ != nullptr)
            return next();
    }
    return item;
}

bool input_queue::read_line(std::string &line)
{
    line.clear();
    bool over = false;
    for (;;) {
        if (begin_ == end_) {
            buffer_.resize(1 << 16);
            begin_ = 0;
            end_ = fread(buffer_.data(), 1, buffer_.size(), lines_);
            if (end_ == 0)
                return !line.empty() || over;
        }
        const char *start = buffer_.data() + begin_;
        const auto *end = static_cast<const char *>(memchr(start, '\n', end_ - begin_));
        const size_t n = end != nullptr ? static_cast<size_t>(end - start) + 1 : end_ - begin_;
        begin_ += n;
        // An over-long line is read to its end, but not kept.
        over = over || line.size() + n > RECORD_LINE_MAX;
        if (over)
            std::string().swap(line);
        else
            line.append(start, n);
        if (end != nullptr)
            return true;
    }
}
