#include "charts/draw_verdict.h"

#include "draw/draw_basic.h"

void draw_verdict(canvas_t *canvas, verdict_id id, const verdict_t &v)
{
    if (canvas == nullptr)
        return;
    constexpr const char *markup = "<font_size=16 align=right>";
    const char *caption = verdict_limits[id].caption;
    const char *text = v.has_value
                           ? eina_slstr_printf("%s%s %.*f", markup, caption, VALUE_DECIMALS, static_cast<double>(v.value))
                           : eina_slstr_printf("%s%s --", markup, caption);
    draw_test_result_text(canvas, text);
    draw_test_result_img(canvas, v.pass ? 1 : 0);
}
