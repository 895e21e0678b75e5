// How a run goes, chosen before the toolkit starts: on the device's
// framebuffer into the device's capture folder, or headless (--headless)
// into a folder of the user's, with the artwork of the installed or built
// tree the program runs from.
#pragma once
#include <string>

struct run_mode_t {
    std::string capture_dir;       // where the job's generation goes
    bool announce_saved = false;   // ends with one line naming the saved files
};

// The device root that holds the artwork of a program in `program_dir`: the
// prefix before /usr/local/app (empty for the installed tree), else the
// build's root/ beside the program; empty when neither holds it.
std::string artwork_root_of(const std::string &program_dir);

// Sets the environment of a drawing in memory: the buffer engine,
// ANALYZER_ROOT (unless given) from where the program lies, and a private
// folder, removed at exit, as the runtime folder when XDG_RUNTIME_DIR is not
// given and as the home when there is no writable one (the toolkit could not
// start, or would complain, otherwise).
void prepare_headless();

// Removes the private folder as far as the toolkit left it empty, with
// async-signal-safe calls only: for a signal that ends the run at once.
void remove_private_dir_now();

// A --headless run writing into `output`, its environment prepared.
run_mode_t headless_mode(const std::string &output);

// The mode of a run without --headless: the device's capture folder (under
// ANALYZER_ROOT, which also serves the ELM_DISPLAY=buffer route).
run_mode_t device_mode();

// The toolkit's system-bus modules serve nothing in this program: they stay
// out (ECORE_NO_SYSTEM_MODULES=1) unless ECORE_NO_SYSTEM_MODULES is given;
// given as 0, they load.
void keep_system_modules_out();

// The first image or font file the report needs that cannot be read, as the
// program looks for it; empty when all are there.
std::string missing_artwork();

// The line on standard error of a run that found no usable framebuffer.
void hint_headless();
