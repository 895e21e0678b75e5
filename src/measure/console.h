// Where the evaluation's console lines go: the process's standard output and
// standard error, or, on a thread that judges jobs side by side with others,
// the buffer of the job at hand, so that each job's lines come out whole and
// in order.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

FILE *console_out();
FILE *console_err();

// While it lives, the thread's console lines (both streams, in the order
// printed) go into this buffer instead; take() hands over what was printed
// since the last take.
class console_capture {
public:
    console_capture();
    ~console_capture();
    console_capture(const console_capture &) = delete;
    console_capture &operator=(const console_capture &) = delete;
    std::string take();

private:
    FILE *stream_ = nullptr;
    char *buffer_ = nullptr;
    size_t size_ = 0;
    FILE *previous_ = nullptr;
};

// Prints a warning about a job's data on the console, ended by `line_end`,
// and keeps its text (without the line end) in `kept` when given.
[[gnu::format(printf, 3, 4)]] void data_warning(std::vector<std::string> *kept, const char *line_end,
                                                const char *format, ...);
