#include <Efreet.h>
#include <Elementary.h>

#include <cstdio>
#include <string>

#include "app/analyzer.h"
#include "app/run_mode.h"
#include "app/signals.h"
#include "config/usage.h"

namespace {

// This program's own options: the front end's options keep their spelling.
constexpr long_option_t LONG_OPTIONS[] = {
    {"--headless", nullptr,
     "render in memory instead of on the framebuffer: no framebuffer, kernel\n"
     "module or system bus needed; the images and the font come from the\n"
     "tree the program runs from (/usr/local/app, or a build's root/)\n"
     "unless ANALYZER_ROOT is set"},
    {"--output", "DIR", "with --headless: the folder for the job's files (made when missing)"},
    {"--version", nullptr, "print the program's name and version; run no job"},
    {"--help", nullptr, "this text; run no job"},
};

constexpr usage_t USAGE = {
    "analyzer",
    "Usage: analyzer --headless --output DIR [options]\n"
    "  or:  analyzer [options]\n"
    "\n"
    "Judges the test data file against the target, draws the report and\n"
    "saves it as 1.png (dark background), 1_white.png (white background)\n"
    "and its results record 1.json; the previous three become 2.png,\n"
    "2_white.png and 2.json. With --headless the report is drawn in memory\n"
    "and saved into DIR, off the device; without it the program runs as on\n"
    "the device: it draws on the framebuffer and saves into the capture\n"
    "folder.\n",
    LONG_OPTIONS,
    "  ANALYZER_ROOT      re-roots every fixed path below (images, font, default\n"
    "                     test data file, capture folder, serial-number reader,\n"
    "                     kernel module) under this folder\n"
    "  ELM_DISPLAY=buffer\n"
    "                     draws in memory like --headless, but saves into the\n"
    "                     capture folder\n"
    "  ELM_ENGINE=fb      the toolkit's framebuffer engine (device mode)\n"
    "  EVAS_FB_DEV        the framebuffer device (default /dev/fb0)\n"
    "  ECORE_NO_SYSTEM_MODULES\n"
    "                     the toolkit's system-bus modules stay out unless this\n"
    "                     is given; 0 loads them\n",
    "  /usr/local/app/image/*.png, /usr/local/app/font/arial.ttf\n"
    "                     the report's images and font; a run without them\n"
    "                     fails before drawing\n"
    "  /usr/local/app/analyzer_result.csv\n"
    "                     the default test data file\n"
    "  /mnt/mmc-disk4/img/analyzer_data/\n"
    "                     the capture folder (without --headless)\n"
    "  /opt/bin/fw_printenv\n"
    "                     the serial-number reader\n"
    "  /usr/local/fb_dri/fb_dri.ko\n"
    "                     the framebuffer's kernel module, loaded with insmod\n"
    "                     when the device cannot be opened\n",
    "  0                  the report was saved\n"
    "  1                  the test data file could not be read, an image or\n"
    "                     the font is missing, or the files could not all be\n"
    "                     saved; the saved reports are kept\n"
    "  255                an option or its value was rejected, the framebuffer\n"
    "                     is unusable, or a termination signal ended the run\n",
};

}  // namespace

int main(int argc, char **argv)
{
    const long_options_t own = take_long_options(argc, argv, LONG_OPTIONS);
    if (print_help_or_version(own, USAGE))
        return 0;
    std::string error = own.error;
    if (error.empty() && own.has("--output") != own.has("--headless"))
        error = own.has("--output") ? "--output is for --headless runs" : "--headless needs --output DIR";
    if (!error.empty()) {
        fprintf(stderr, "analyzer: %s (see analyzer --help)\n", error.c_str());
        return 255;
    }
    const run_mode_t mode = own.has("--headless") ? headless_mode(own.given.at("--output")) : device_mode();
    keep_system_modules_out();

    // A termination signal during the toolkit's start-up ends the run the
    // same way as later on.
    install_signal_handlers();
    // The report uses no desktop files, icon themes or menus: without this
    // the toolkit starts its cache daemon, which outlives the run by seconds
    // and costs more CPU than the report itself.
    efreet_cache_disable();
    _elm_startup_time = ecore_time_unix_get();
    elm_init(argc, argv);
    int ret = elm_main(argc, argv, mode);
    elm_shutdown();
    return ret;
}
