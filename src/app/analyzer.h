// Process entry, framebuffer probe, signal handling, exit timer and the
// screen captures of the report.
#pragma once
#include <Elementary.h>

inline constexpr int DEV_NODE_SIZE = 20;
extern char dev_node[DEV_NODE_SIZE];

int elm_main(int argc, char **argv);
void run_terminate(int sig);
// Installs run_terminate for signals 15, 2, 3 and 11.
void install_signal_handlers();
Eina_Bool _exit_app_cb(void *data);

// Chooses the framebuffer device from EVAS_FB_DEV (or the default) into
// dev_node and prints which one. Returns -1 when the value does not fit.
int choose_fb_device();

// Captures the screen into "1.png" (kind 0) or "1_white.png" (kind 1) after
// moving the previous capture aside. Returns the grab's status (0 when written).
int save_osd_to_png(int kind);
