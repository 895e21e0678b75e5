// The configuration and verdict panel.
#pragma once
#include <cstdint>

#include <Elementary.h>

struct job_t;

// The panel's objects, owned by the report page it stands beside.
struct panel_t {
    // Every label, in drawing order (caption, value, row by row, then the
    // legend words): what the restyle colours.
    Eina_List *config_text_list = nullptr;
    // The table and the legend images.
    Eina_List *objects = nullptr;
};

// Draws the panel of the job into `panel`, replacing what it held: the serial
// number as shown (the reader's value), the sensor, the target, the white
// level and the thresholds, and the legend.
void draw_config_chart(panel_t &panel, const job_t &job, const char *serial_number, int32_t sensor_id);
// Restyles the panel's labels and the title text; nothing for a null object.
void change_config_text_style(const panel_t &panel, const void *object, int style);
// Deletes the panel's objects and empties it.
void del_config_chart(panel_t &panel);
