// The configuration and verdict panel.
#pragma once
#include <cstdint>

#include <Elementary.h>

struct job_t;

// The panel of the job: the serial number as shown (the reader's value), the
// sensor, the target, the white level and the thresholds, and the legend.
void draw_config_chart(const job_t &job, const char *serial_number, int32_t sensor_id);
void change_config_text_style(const void *object, int style);

// Every label of the panel, in drawing order (caption, value, row by row,
// then the legend words).
Eina_List *get_config_text_list();
