// Page switching.
#pragma once
#include <cstdint>

inline constexpr int PAGE_SDR = 3;
inline constexpr int PAGE_HDR = 4;

extern int32_t current_page_status;
void switch_page(int page);

struct canvas_t;

// Operations shared by the two pages, over a page's slot array.
void page_build(canvas_t **slots, int n, canvas_t *(*const *constructors)());
void page_show_charts(canvas_t **slots, int n);
void page_show_data(canvas_t **slots, int n);
void page_delete(canvas_t **slots, int n);
// The eight restyle calls for every canvas of the page.
void page_restyle(canvas_t **slots, int n, int style);
