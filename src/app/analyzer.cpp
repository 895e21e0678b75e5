#include "app/analyzer.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/capture.h"
#include "app/command.h"
#include "app/generation.h"
#include "app/results_file.h"
#include "app/serial_number.h"
#include "app/signals.h"
#include "config/configure.h"
#include "config/paths.h"
#include "draw/draw_logo.h"
#include "draw/draw_main_win.h"
#include "measure/measure.h"
#include "report/report_page.h"
#include "report/start_measure.h"

namespace {

// What the run knows: the framebuffer it captures from (empty when
// headless), its settings, the evaluated job and the serial number the panel
// shows; and its exit status.
struct run_t {
    char dev_node[DEV_NODE_SIZE] = {};
    settings_t settings;
    job_t job;
    std::string serial_number;
    report_pages_t pages;
    run_mode_t mode;
    bool saved = false;
    int status = 0;
};

bool device_opens(const char *dev_node)
{
    const int fd = open(dev_node, O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return false;
    close(fd);
    return true;
}

// Opens the framebuffer once; when that fails, loads its kernel module and
// tries again. Ends the process when the device stays unusable.
void probe_framebuffer(const char *dev_node)
{
    if (device_opens(dev_node))
        return;
    const std::string module = device_path(FB_MODULE);
    const std::string command = "insmod " + module;
    printf("Info: fb dev not open. %s\n", command.c_str());
    fflush(stdout);
    run_command({"insmod", module});
    if (!device_opens(dev_node)) {
        printf("Error: fb dev not open (2). %s\n", command.c_str());
        fflush(stdout);
        hint_headless();
        exit(-1);
    }
}

// Pans the display to where it already is, which makes a driver show the
// framebuffer. A display controller driver that provides the framebuffer
// (DRM) lights the screen only when the mode is set or the display panned:
// with no text console on the framebuffer to do it, the report would be drawn
// into memory and never appear. Drivers that cannot pan refuse, harmlessly.
void show_framebuffer(const char *dev_node)
{
    const int fd = open(dev_node, O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return;
    fb_var_screeninfo var{};
    if (ioctl(fd, FBIOGET_VSCREENINFO, &var) == 0)
        ioctl(fd, FBIOPAN_DISPLAY, &var);
    close(fd);
}

// Renders the window as one piece. The buffer engine redraws the whole canvas
// on every render, the framebuffer engine only the regions that changed since
// the last one; a line cut at the edge of such a region comes out a pixel
// different from the same line drawn whole. Damaging the whole window gives
// both engines the same page to capture.
void render_whole_window()
{
    Evas *evas = evas_object_evas_get(win);
    int w = 0, h = 0;
    evas_output_size_get(evas, &w, &h);
    evas_damage_rectangle_add(evas, 0, 0, w, h);
    elm_win_render(win);
}

}  // namespace

int choose_fb_device(char (&dev_node)[DEV_NODE_SIZE])
{
    const char *env = getenv("EVAS_FB_DEV");
    if (env != nullptr) {
        printf("Info: Use env fb = %s\n", env);
        if (std::strlen(env) >= sizeof dev_node) {
            printf("Error: EVAS_FB_DEV is too long (at most %zu characters).\n", sizeof dev_node - 1);
            return -1;
        }
        snprintf(dev_node, sizeof dev_node, "%s", env);
    } else {
        puts("Info: Use default fb = /dev/fb0");
        snprintf(dev_node, sizeof dev_node, "%s", "/dev/fb0");
    }
    return 0;
}

namespace {

// How a job's save ended. A folder held by another job is said once, by
// open_generation; every other failure gets the job's own line.
enum class save_result { saved, failed, folder_busy };

// Captures the page dark, then white, and saves both captures and the
// record as one generation.
save_result save_report(run_t &run)
{
    const std::string record =
        run_results_json(run.job, run.serial_number, run.settings.sensor_id, run.settings.warnings);
    render_whole_window();
    generation_t gen;
    const bool opened = open_generation(gen, run.mode.capture_dir, FOLDER_LOCK_WAIT_SECONDS, termination_pending);
    bool ok = opened && save_osd_to_png(gen, 0, record, run.dev_node) == 0 &&
              save_results_file(gen, run_results_json(run.job, run.serial_number, run.settings.sensor_id,
                                                      run.settings.warnings, 2)) == 0;
    set_win_bg_color(255, 255, 255);
    change_page_style(run.pages, report_page(run.job), STYLE_LIGHT);
    render_whole_window();
    ok = ok && save_osd_to_png(gen, 1, record, run.dev_node) == 0;
    if (!ok)
        return gen.dir_fd >= 0 && !gen.locked ? save_result::folder_busy : save_result::failed;
    note_save_state(SAVE_ROTATING);
    ok = commit_generation(gen) == 0;
    note_save_state(ok ? SAVE_DONE : SAVE_NOT_STARTED);
    return ok ? save_result::saved : save_result::failed;
}

}  // namespace

Eina_Bool _exit_app_cb(void *data)
{
    run_t &run = *static_cast<run_t *>(data);
    puts("run exit!");
    // A job whose data could not be read leaves the saved generations alone.
    if (run.job.evaluated) {
        const save_result saved = save_report(run);
        run.saved = saved == save_result::saved;
        if (saved == save_result::failed)
            fprintf(stderr, "analyzer: the report of %s was not saved\n", run.job.test_data_file.c_str());
        if (!run.saved)
            run.status = 1;
    }
    elm_exit();
    return ECORE_CALLBACK_CANCEL;
}

int elm_main(int argc, char **argv, const run_mode_t &mode)
{
    // Console lines go out as they are printed, also into a pipe.
    setvbuf(stdout, nullptr, _IOLBF, 0);

    install_signal_handlers();

    run_t run;
    run.mode = mode;
    run.settings = default_settings();
    if (!headless_display()) {
        if (choose_fb_device(run.dev_node) != 0)
            exit(-1);
        probe_framebuffer(run.dev_node);
    }

    // A report without its images or font would be saved as if whole.
    const std::string missing = missing_artwork();
    if (!missing.empty()) {
        fprintf(stderr,
                "analyzer: missing %s: the report's images and font are looked for under %s and %s"
                " (ANALYZER_ROOT re-roots them); nothing was drawn or saved\n",
                missing.c_str(), device_cpath(IMAGE_DIR), device_cpath(FONT_DIR));
        return 1;
    }
    draw_win();
    if (win == nullptr) {
        if (!headless_display())
            hint_headless();
        return -1;
    }
    // The framebuffer engine's console code takes SIGINT over (to ignore it)
    // when the window is made: the handler is installed again.
    install_signal_handlers();
    if (read_configure(argc, argv, run.settings) < 0)
        return -1;
    draw_logo_and_title();
    elm_policy_set(ELM_POLICY_QUIT, ELM_POLICY_QUIT_LAST_WINDOW_CLOSED);

    run.job = evaluate(run.settings.target, run.settings.test_file_path.c_str());
    // A job whose data could not be read has no report page.
    if (run.job.evaluated) {
        run.serial_number = serial_number_value(read_serial_number(&run.settings.warnings));
        start_measure(run.pages, run.job, run.serial_number.c_str(), run.settings.sensor_id);
    } else {
        fprintf(stderr, "analyzer: cannot read the test data file \"%s\"; the saved reports are kept\n",
                run.job.test_data_file.c_str());
        run.status = 1;
    }

    if (!headless_display())
        show_framebuffer(run.dev_node);
    puts("exit_app:");
    handle_signals_in_main_loop(run.pages);
    ecore_timer_add(1.0, _exit_app_cb, &run);
    elm_run();
    // A signal that came while the report was saved is not lost.
    end_signal_hand_over(run.pages);

    del_page(run.pages, PAGE_SDR);
    del_page(run.pages, PAGE_HDR);
    if (run.saved && run.mode.announce_saved) {
        const std::string &dir = run.mode.capture_dir;
        printf("Saved %s/%s, %s/%s and %s/%s\n", dir.c_str(), job_files[FILE_DARK].current, dir.c_str(),
               job_files[FILE_WHITE].current, dir.c_str(), job_files[FILE_RECORD].current);
    }
    return run.status;
}
