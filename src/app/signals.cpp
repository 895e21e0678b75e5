#include "app/signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <Elementary.h>

#include "app/command.h"
#include "app/run_mode.h"
#include "report/report_page.h"

namespace {

// Signals are written to this pipe once the main loop runs, and handled there.
int signal_pipe[2] = {-1, -1};
volatile sig_atomic_t loop_running = 0;
volatile sig_atomic_t saved = SAVE_NOT_STARTED;
volatile sig_atomic_t pending = 0;

// Async-signal-safe decimal output of a small non-negative number.
size_t format_int(char *buf, int value)
{
    char tmp[12];
    size_t n = 0;
    do {
        tmp[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0 && n < sizeof tmp);
    for (size_t i = 0; i < n; ++i)
        buf[i] = tmp[n - 1 - i];
    return n;
}

void write_all(const char *text, size_t len, int fd = STDOUT_FILENO)
{
    while (len > 0) {
        ssize_t n = write(fd, text, len);
        if (n <= 0)
            return;
        text += n;
        len -= static_cast<size_t>(n);
    }
}

// Writes head, the signal number and tail with write(2) only.
void write_with_number(const char *head, int sig, const char *tail, int fd = STDOUT_FILENO)
{
    char buf[160];
    size_t n = std::strlen(head);
    std::memcpy(buf, head, n);
    n += format_int(buf + n, sig);
    std::memcpy(buf + n, tail, std::strlen(tail));
    n += std::strlen(tail);
    write_all(buf, n, fd);
}

// The termination messages, async-signal-safe.
void write_signal_message(int sig)
{
    write_with_number("Info: sig = ", sig, ", run exiting...\n");
    if (sig == SIGSEGV)
        write_with_number("\033[31mError: sig = ", sig, ", \n\n\nSSSSSSSSSSSSSSSSSSSSS.\n\n\n\033[0m");
    // Whoever started the job learns whether its report was saved.
    constexpr const char *outcome[] = {"; the capture folder was left as it was\n",
                                       " while saving; the next job finishes or undoes the rotation\n",
                                       "; the report was saved\n"};
    write_with_number("analyzer: stopped by signal ", sig, outcome[saved], STDERR_FILENO);
}

// Main-loop side of a termination signal: the pages are deleted safely here.
[[noreturn]] void terminate_in_loop(report_pages_t &pages, int sig)
{
    fflush(stdout);
    write_signal_message(sig);
    del_page(pages, PAGE_SDR);
    del_page(pages, PAGE_HDR);
    fflush(stdout);
    exit(-1);
}

Eina_Bool signal_pipe_cb(void *pages, Ecore_Fd_Handler *)
{
    int sig = 0;
    if (read(signal_pipe[0], &sig, sizeof sig) != static_cast<ssize_t>(sizeof sig))
        return ECORE_CALLBACK_RENEW;
    terminate_in_loop(*static_cast<report_pages_t *>(pages), sig);
}

// A signal that arrived while the toolkit was starting was caught by its own
// handler and queued as an exit event: end the run the same way.
Eina_Bool signal_exit_event_cb(void *pages, int, void *event)
{
    const auto *ev = static_cast<const Ecore_Event_Signal_Exit *>(event);
    terminate_in_loop(*static_cast<report_pages_t *>(pages), ev->interrupt ? SIGINT : ev->quit ? SIGQUIT : SIGTERM);
}

}  // namespace

void install_signal_handlers()
{
    signal(SIGTERM, run_terminate);
    signal(SIGINT, run_terminate);
    signal(SIGQUIT, run_terminate);
    signal(SIGSEGV, run_terminate);
    // A file size limit fails the write of a capture (reported, the saved
    // generations kept) instead of ending the run halfway.
    signal(SIGXFSZ, SIG_IGN);
}

void handle_signals_in_main_loop(report_pages_t &pages)
{
    if (pipe2(signal_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        perror("pipe");
    } else {
        ecore_main_fd_handler_add(signal_pipe[0], ECORE_FD_READ, signal_pipe_cb, &pages, nullptr,
                                  nullptr);
    }
    ecore_event_handler_add(ECORE_EVENT_SIGNAL_EXIT, signal_exit_event_cb, &pages);
    // The hand-over starts when the loop runs its first job.
    ecore_job_add([](void *) { loop_running = 1; }, nullptr);
}

void run_terminate(int sig)
{
    if (loop_running && sig != SIGSEGV && signal_pipe[1] >= 0) {
        // Hand over to the main loop, where deleting the pages is safe.
        const int saved_errno = errno;
        if (write(signal_pipe[1], &sig, sizeof sig) == static_cast<ssize_t>(sizeof sig)) {
            pending = 1;
            errno = saved_errno;
            return;
        }
        errno = saved_errno;
    }
    // Outside the main loop (or on a fault) toolkit objects may be half made:
    // report and leave at once, with the command the run waits for, and
    // without the headless run's private folder.
    kill_timed_command();
    write_signal_message(sig);
    remove_private_dir_now();
    _exit(255);
}

void end_signal_hand_over(report_pages_t &pages)
{
    loop_running = 0;
    int sig = 0;
    if (signal_pipe[0] >= 0 && read(signal_pipe[0], &sig, sizeof sig) == static_cast<ssize_t>(sizeof sig))
        terminate_in_loop(pages, sig);
}

bool termination_pending()
{
    return pending != 0;
}

void note_save_state(save_state state)
{
    saved = state;
}
