// The colour checker bar charts of both reports: 18 named slots across the
// page width. The twins differ only in their vertical place, title, pass limit
// and the value judged.
#pragma once
#include "charts/bar_chart.h"

int checker_slot_count();
void checker_slot_name(int i, char *text, size_t size);

constexpr bar_chart_def_t checker_chart_def(const char *function, int32_t y, float height, const char *text,
                                            float pass_limit)
{
    return {{function, 20, y, 1880.0f, height, 1, 6, nullptr, 1880, "/usr/local/app/image/icon_dE.png", text,
             {12.0f, 2.0f, 2}, {1.0f, 1.0f, 5}},
            "Color Checker Avg dE: ",
            pass_limit,
            checker_slot_count,
            checker_slot_name};
}
