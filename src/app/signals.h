// Termination signals: the handler, and the hand-over to the main loop once
// it runs, where the pages can be deleted safely.
#pragma once

struct report_pages_t;

// Installs run_terminate for signals 15, 2, 3 and 11.
void install_signal_handlers();
// Once the main loop runs (and the signal is not SIGSEGV), hands the signal to
// the loop, which reports it, deletes both pages and exits with -1 (255).
// Before that, or on a fault, reports it and ends the process with 255 at once.
void run_terminate(int sig);
// From the main loop's start on, signals are handled there: also those the
// toolkit itself caught and queued as an exit event; the loop then deletes
// the run's `pages`.
void handle_signals_in_main_loop(report_pages_t &pages);
// Once the main loop has returned: a signal handed over but not yet handled
// ends the run now, as in the loop; later ones end it at once.
void end_signal_hand_over(report_pages_t &pages);

// True once a termination signal waits to be handled by the main loop: a
// long wait inside the loop's callbacks gives up.
bool termination_pending();

// How far the job has saved its report, for the line on standard error with
// which a termination signal says whether the folder changed.
enum save_state : int { SAVE_NOT_STARTED, SAVE_ROTATING, SAVE_DONE };
void note_save_state(save_state state);
