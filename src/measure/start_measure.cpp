#include "measure/start_measure.h"

#include <Ecore.h>
#include <Evas.h>

#include "draw/draw_hdr_page.h"
#include "draw/draw_main_win.h"
#include "draw/draw_sdr_page.h"
#include "draw/switch_page.h"
#include "measure/measure.h"
#include "panel/draw_config_chart.h"

void start_measure(int kind)
{
    if (!evaluate_measure(kind))
        return;
    {
        // Events stay frozen while the page is built (see canvas_freeze).
        canvas_freeze frozen;
        draw_config_chart();
        ecore_thread_main_loop_begin();
        if (kind == 0) {
            switch_page(PAGE_SDR);
            render_sdr_chart_data_object();
        } else {
            switch_page(PAGE_HDR);
            render_hdr_chart_data_object();
        }
    }
    evas_render(evas_object_evas_get(win));
    ecore_thread_main_loop_end();
}
