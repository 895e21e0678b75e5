#include "report/start_measure.h"

#include <Ecore.h>
#include <Evas.h>

#include "draw/draw_main_win.h"
#include "report/report_page.h"

void start_measure(report_pages_t &pages, const job_t &job, const char *serial_number, int32_t sensor_id)
{
    const page_id page = report_page(job);
    {
        // Events stay frozen while the page is built (see canvas_freeze).
        canvas_freeze frozen;
        draw_page_panel(pages, page, job, serial_number, sensor_id);
        ecore_thread_main_loop_begin();
        switch_page(pages, page, job);
        render_page_data(pages, page, job);
    }
    evas_render(evas_object_evas_get(win));
    ecore_thread_main_loop_end();
}
