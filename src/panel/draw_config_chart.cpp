#include "panel/draw_config_chart.h"

#include <cstdio>

#include "color/reference.h"
#include "config/paths.h"
#include "config/sensors.h"
#include "draw/draw_basic.h"
#include "draw/draw_delete.h"
#include "draw/images.h"
#include "draw/draw_logo.h"
#include "draw/draw_main_win.h"
#include "measure/measure.h"
#include "measure/verdict.h"

namespace {

constexpr const char *LEFT = "<font_size=16 align=left>";
constexpr const char *RIGHT = "<font_size=16 align=right>";
constexpr const char *CENTER = "<font_size=16 align=center>";

Evas_Object *add_text(panel_t &panel, Evas_Object *parent, const char *text)
{
    Evas_Object *label = elm_label_add(parent);
    elm_object_part_text_set(label, nullptr, text);
    panel.config_text_list = eina_list_append(panel.config_text_list, label);
    return label;
}

void pack(Evas_Object *table, Evas_Object *label, int col, int row)
{
    elm_table_pack(table, label, col, row, 1, 1);
    evas_object_show(label);
}

void add_row(panel_t &panel, Evas_Object *table, int row, const char *caption, const char *value)
{
    pack(table, add_text(panel, table, eina_slstr_printf("%s%s", LEFT, caption)), 0, row);
    pack(table, add_text(panel, table, value), 1, row);
}

// A verdict's limit from the table, as the panel lists it.
const char *limit(const char *caption, verdict_id id)
{
    const verdict_limit_t &l = verdict_limits[id];
    return eina_slstr_printf("%s%s%.*f", RIGHT, caption, l.limit_decimals, l.limit);
}

// One legend entry: its word and its image; false when the image is missing.
bool add_legend(panel_t &panel, const char *word_markup, int x, const char *image)
{
    Evas_Object *label = add_text(panel, win, word_markup);
    evas_object_resize(label, 50, 30);
    evas_object_move(label, x, 670);
    evas_object_show(label);
    Evas_Object *img = load_image(device_cpath(image));
    if (img == nullptr)
        return false;
    panel.objects = eina_list_append(panel.objects, img);
    elm_image_fill_outside_set(img, EINA_TRUE);
    evas_object_resize(img, 30, 30);
    evas_object_move(img, x + 50, 670);
    evas_object_show(img);
    return true;
}

}  // namespace

void draw_config_chart(panel_t &panel, const job_t &job, const char *serial_number, int32_t sensor_id)
{
    del_config_chart(panel);
    Evas_Object *table = elm_table_add(win);
    panel.objects = eina_list_append(panel.objects, table);
    evas_object_move(table, 240, 450);
    evas_object_show(table);
    elm_table_padding_set(table, 0, 5);

    const reference_t *ref = &job.target;
    const eotf_row_t *eotf = find_eotf(ref->test_type);
    const int sensor = sensor_id >= 0 && sensor_id < SENSOR_COUNT ? sensor_id : 0;

    add_row(panel, table, 0, "Serial Number:", eina_slstr_printf("%s%s", RIGHT, serial_number != nullptr ? serial_number : ""));
    add_row(panel, table, 1, "Sensor:", eina_slstr_printf("%s%s", RIGHT, sensor_name[sensor]));
    add_row(panel, table, 2, "Gamut:", eina_slstr_printf("%s%s", RIGHT, ref->standard.name));
    // A curve with a gamma estimator shows the target gamma after its label.
    const char *eotf_text = "";
    if (eotf != nullptr && eotf->gamma != nullptr)
        eotf_text = eina_slstr_printf("%s%s %2.1f", RIGHT, eotf->panel_label, static_cast<double>(ref->gamma));
    else if (eotf != nullptr)
        eotf_text = eina_slstr_printf("%s%s", RIGHT, eotf->panel_label);
    add_row(panel, table, 3, "EOTF:", eotf_text);
    add_row(panel, table, 4, "White Type:", eina_slstr_printf("%s%s", RIGHT, ref->white.name));
    // A job without a grayscale patch has no white: no number to show.
    add_row(panel, table, 5, "White Level:",
            job.white.measured ? eina_slstr_printf("%s%.6g cd/m²", RIGHT, static_cast<double>(job.white.bright_Y))
                               : eina_slstr_printf("%s--", RIGHT));
    for (int row = 6; row <= 8; ++row)
        pack(table, add_text(panel, table, "   "), 0, row);
    if (eotf == nullptr)
        return;

    add_row(panel, table, 9, "Industry Standards", eina_slstr_printf("%s%s", RIGHT, "dE ≤ 3"));
    const bool sdr = !eotf->hdr;
    if (sdr) {
        add_row(panel, table, 10, "Grayscale", limit("Avg dE ≤ ", SDR_GRAY_DE2000_AVG));
        add_row(panel, table, 11, "Total Gamma",
                eina_slstr_printf("%s%.*g%s%.*f", RIGHT, TARGET_GAMMA_DIGITS, static_cast<double>(ref->gamma), " ± ",
                                  verdict_limits[SDR_TOTAL_GAMMA].limit_decimals, verdict_limits[SDR_TOTAL_GAMMA].limit));
        add_row(panel, table, 12, "Gamut", limit("Max dE ≤ ", SDR_GAMUT_DE2000_MAX));
        add_row(panel, table, 13, "Color Checker", limit("Avg dE ≤ ", SDR_CHECKER_DE2000_AVG));
    } else {
        add_row(panel, table, 10, "Grayscale", limit("Avg dE2000 ≤ ", HDR_GRAY_DE2000_AVG));
        add_row(panel, table, 11, "Grayscale", limit("Avg dEICTCP ≤ ", HDR_GRAY_DEICTCP_AVG));
        add_row(panel, table, 12, "EOTF Diff", limit("Max ≤ ", HDR_EOTF_DIFF_MAX));
        add_row(panel, table, 13, "Color Checker", limit("Avg dEICTCP ≤ ", HDR_CHECKER_DEICTCP_AVG));
    }

    if (!add_legend(panel, eina_slstr_printf("%s%s", CENTER, "Pass:   "), 133, image_path[IMAGE_PASS]))
        return;
    const char *fail = sdr ? eina_slstr_printf("%s%s", CENTER, "Fail:   ")
                           : eina_slstr_printf("<color=rgb(160,160,160)>%s%s<color>", CENTER, "Fail:   ");
    add_legend(panel, fail, 273, image_path[IMAGE_FAIL]);
}

void change_config_text_style(const panel_t &panel, const void *object, int style)
{
    if (object == nullptr)
        return;
    int v = 255;
    if (style == STYLE_DARK) {
        if (efl_logo_text != nullptr)
            evas_object_color_set(efl_logo_text, 200, 200, 200, 255);
    } else if (style == STYLE_LIGHT) {
        if (efl_logo_text != nullptr)
            evas_object_color_set(efl_logo_text, 55, 55, 55, 255);
        v = 0;
    }
    colour_list(panel.config_text_list, v, v, v);
}

void del_config_chart(panel_t &panel)
{
    // The labels first: most are the table's children, gone with it after.
    delete_objects(panel.config_text_list);
    delete_objects(panel.objects);
}
