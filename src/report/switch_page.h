// Page switching: which report page is up.
#pragma once
#include "report/report_page.h"

// Shows the page for the job (built on its first show); a page that is up
// already stays as it is.
void switch_page(page_id page, const job_t &job);
// The page that is up; -1 before the first switch.
int current_page();
