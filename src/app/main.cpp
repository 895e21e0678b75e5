#include <Elementary.h>

#include "app/analyzer.h"
#include "app/signals.h"

int main(int argc, char **argv)
{
    // A termination signal during the toolkit's start-up ends the run the
    // same way as later on.
    install_signal_handlers();
    _elm_startup_time = ecore_time_unix_get();
    elm_init(argc, argv);
    int ret = elm_main(argc, argv);
    elm_shutdown();
    return ret;
}
