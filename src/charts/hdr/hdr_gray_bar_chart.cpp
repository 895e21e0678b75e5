#include "charts/hdr/hdr_gray_bar_chart.h"

#include <cstdio>

#include "charts/geometry/bar_geometry.h"
#include "measure/measure.h"

int hdr_gray_slot_count(const job_t &job)
{
    const int n = job.hdr_gray_pillar_count;
    if (n < 0)
        return 0;
    return n > GRAY_MAX ? GRAY_MAX : n;
}

void hdr_gray_signal_percent(const job_t &job, int i, char *text, size_t size)
{
    snprintf(text, size, "%d", signal_percent_single(job.store.gray[i].c.ts0));
}

