// Process entry, framebuffer probe and exit timer.
#pragma once
#include <Elementary.h>

#include "app/run_mode.h"

inline constexpr int DEV_NODE_SIZE = 20;
// Room for the framebuffer device path, its terminating zero included.

// The run of one job in `mode`; returns the exit status.
int elm_main(int argc, char **argv, const run_mode_t &mode);
Eina_Bool _exit_app_cb(void *data);

// Chooses the framebuffer device from EVAS_FB_DEV (or the default) into
// dev_node and prints which one. Returns -1 when the value does not fit.
int choose_fb_device(char (&dev_node)[DEV_NODE_SIZE]);
