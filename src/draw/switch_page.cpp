#include "draw/switch_page.h"

#include <cstdio>
#include <cstdlib>

#include "draw/draw_basic.h"
#include "draw/draw_delete.h"
#include "draw/draw_hdr_page.h"
#include "draw/draw_main_win.h"
#include "draw/draw_sdr_page.h"
#include "draw/draw_title.h"
#include "draw/draw_x_y.h"
#include "panel/draw_config_chart.h"

int32_t current_page_status = -1;

void switch_page(int page)
{
    if (page == current_page_status) {
        puts("new page == old page");
        return;
    }
    printf("old_status = %d, new_status = %d\n", current_page_status, page);
    current_page_status = page;
    if (page == PAGE_SDR)
        show_sdr_page();
    else if (page == PAGE_HDR)
        show_hdr_page();
}

void page_build(canvas_t **slots, int n, canvas_t *(*const *constructors)())
{
    for (int i = 0; i < n; ++i)
        slots[i] = constructors[i]();
}

void page_show_charts(canvas_t **slots, int n)
{
    for (int i = 0; i < n; ++i)
        show_canvas_chart(slots[i]);
}

void page_show_data(canvas_t **slots, int n)
{
    for (int i = 0; i < n; ++i)
        show_canvas_data(slots[i]);
}

void page_delete(canvas_t **slots, int n)
{
    canvas_freeze frozen;
    for (int i = 0; i < n; ++i) {
        if (slots[i] == nullptr)
            continue;
        del_canvas(slots[i]);
        free(slots[i]);
        slots[i] = nullptr;
    }
}

void page_restyle(canvas_t **slots, int n, int style)
{
    for (int i = 0; i < n; ++i) {
        canvas_t *c = slots[i];
        change_title_style(c, style);
        change_bg_style(c, style);
        change_x_y_style(c, style);
        change_x_gap_style(c, style);
        change_test_result_style(c, style);
        change_data_text_style(c, style);
        change_config_text_style(c, style);
        change_data_line_style(c, style);
    }
}
