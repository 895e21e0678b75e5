// A job's files as one generation: each is first written whole to a
// temporary file in the capture folder; only when all are complete is the
// previous generation moved aside and the new one renamed into place, in one
// short sequence, and the folder synced.
#pragma once
#include <array>
#include <cstdio>
#include <functional>
#include <string>

enum job_file_kind : int { FILE_DARK = 0, FILE_WHITE = 1, FILE_RECORD = 2, JOB_FILE_COUNT };

// Naming and rotation of a job's files: the current name, the name of the
// previous generation, and who reports the rotation on the console (null:
// the rotation is silent).
struct job_file_t {
    job_file_kind kind;
    const char *current;
    const char *previous;
    const char *reporter;
};

inline constexpr std::array<job_file_t, JOB_FILE_COUNT> job_files{{
    {FILE_DARK, "1.png", "2.png", "save_osd_to_png"},
    {FILE_WHITE, "1_white.png", "2_white.png", "save_osd_to_png"},
    {FILE_RECORD, "1.json", "2.json", nullptr},
}};

// The program's temporary files: this prefix and six characters (mkstemp),
// a name no user would give a file of their own.
inline constexpr const char TEMP_PREFIX[] = ".analyzer-partial-";

// The intent record of a rotation in progress: which staged file becomes
// which current file, written and synced before anything moves, removed when
// the rotation is complete.
inline constexpr const char ROTATION_RECORD[] = ".analyzer-rotation";

// How long a job waits for another job that holds the capture folder. A job
// holds it for about a second, so only a stopped or hung job makes this run out.
inline constexpr double FOLDER_LOCK_WAIT_SECONDS = 60;

// The generation being written: the capture folder, open (and locked), and
// the temporary file of each kind once it is written whole. Temporary files
// that were not committed are removed when it ends.
struct generation_t {
    std::string dir;
    int dir_fd = -1;
    bool locked = false;
    bool dropped_previous = false;  // the previous generation went to make room
    std::array<std::string, JOB_FILE_COUNT> staged;  // temporary names, empty until written

    generation_t() = default;
    ~generation_t();
    generation_t(const generation_t &) = delete;
    generation_t &operator=(const generation_t &) = delete;
};

// Opens the capture folder `dir` (made when missing, with the console
// warning) and takes its lock, waiting at most `lock_wait_seconds` (or until
// `give_up`, when given, returns true). Holding
// it, finishes or undoes a rotation that a killed run left (said on standard
// error), then removes the temporary files such runs left. False, with the
// reason on standard error, when the folder cannot be used or locked.
bool open_generation(generation_t &g, const std::string &dir, double lock_wait_seconds = FOLDER_LOCK_WAIT_SECONDS,
                     bool (*give_up)() = nullptr);

// Writes the file of `kind` through `write` to a temporary file in the
// folder and flushes it to the disk. When the disk is full and a previous
// generation exists beside a current one, that generation (which the
// rotation removes anyway) is removed first and the file written once more,
// said on standard error. False when that fails (errno tells why, when a
// call set it); the temporary file is then removed.
bool stage_file(generation_t &g, job_file_kind kind, const std::function<bool(FILE *)> &write);

// Installs the staged generation: its intent record is written, the
// previous generation is removed, the current one becomes the previous one
// and the staged files the current ones; the folder is then synced and the
// record removed. The rotation's console lines are printed at the
// end. Nothing moves unless every kind was staged, and a failed rotation
// puts the current files back. Returns 0, or -1 with the reason on standard
// error.
int commit_generation(generation_t &g);
