#include "report/switch_page.h"

#include <cstdio>

namespace {
int current_page_status = -1;
}  // namespace

void switch_page(page_id page, const job_t &job)
{
    if (page == current_page_status) {
        puts("new page == old page");
        return;
    }
    printf("old_status = %d, new_status = %d\n", current_page_status, static_cast<int>(page));
    current_page_status = page;
    show_page(page, job);
}

int current_page()
{
    return current_page_status;
}
