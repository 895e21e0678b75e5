#include "charts/hdr/hdr_gray_bar_chart.h"

#include <cstdio>

#include "charts/geometry/bar_geometry.h"
#include "measure/measure.h"

int hdr_gray_slot_count()
{
    if (hdr_gray_pillar_count < 0)
        return 0;
    return hdr_gray_pillar_count > GRAY_MAX ? GRAY_MAX : hdr_gray_pillar_count;
}

void hdr_gray_signal_percent(int i, char *text, size_t size)
{
    snprintf(text, size, "%d", signal_percent_single(data_gray[i].c.ts0));
}

