#include <Efreet.h>
#include <Elementary.h>

#include <cstdio>

#include "app/analyzer.h"
#include "app/signals.h"
#include "config/usage.h"

int main(int argc, char **argv)
{
    if (asks_for_help(argc, argv)) {
        printf("Usage: analyzer [options]\n"
               "\n"
               "Judges the test data file against the target, draws the report and\n"
               "captures it as 1.png and 1_white.png, with its results record 1.json,\n"
               "in the capture folder (the previous ones become 2.*).\n"
               "\n%s",
               options_usage().c_str());
        return 0;
    }
    // A termination signal during the toolkit's start-up ends the run the
    // same way as later on.
    install_signal_handlers();
    // The report uses no desktop files, icon themes or menus: without this
    // the toolkit starts its cache daemon, which outlives the run by seconds
    // and costs more CPU than the report itself.
    efreet_cache_disable();
    _elm_startup_time = ecore_time_unix_get();
    elm_init(argc, argv);
    int ret = elm_main(argc, argv);
    elm_shutdown();
    return ret;
}
