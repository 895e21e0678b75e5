#include "measure/console.h"

#include <cstdarg>
#include <cstdlib>

namespace {

thread_local FILE *captured = nullptr;

}  // namespace

FILE *console_out()
{
    return captured != nullptr ? captured : stdout;
}

FILE *console_err()
{
    return captured != nullptr ? captured : stderr;
}

console_capture::console_capture() : stream_(open_memstream(&buffer_, &size_)), previous_(captured)
{
    // Without a buffer the lines go where they would have gone.
    if (stream_ != nullptr)
        captured = stream_;
}

console_capture::~console_capture()
{
    if (stream_ != nullptr) {
        captured = previous_;
        fclose(stream_);
    }
    free(buffer_);
}

std::string console_capture::take()
{
    if (stream_ == nullptr)
        return {};
    fflush(stream_);
    std::string text(buffer_, size_);
    rewind(stream_);
    return text;
}

void data_warning(std::vector<std::string> *kept, const char *line_end, const char *format, ...)
{
    char line[256];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    fprintf(console_out(), "%s%s", line, line_end);
    if (kept != nullptr)
        kept->emplace_back(line);
}
