// analyzer-summary-png: draws the summary of many jobs (as analyzer-results
// hands it over, a JSON file) as one 1920 x 1080 page in the report's look,
// headless, and writes it as a PNG file.
#include <Efreet.h>
#include <Elementary.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "app/capture.h"
#include "app/run_mode.h"
#include "archive/batch_summary.h"
#include "draw/draw_main_win.h"
#include "summary/draw_summary_page.h"

namespace {

bool read_summary(const char *path, batch_summary_t &s)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    const results_json j = results_json::parse(text.str(), nullptr, false);
    return !in.bad() && !j.is_discarded() && summary_from_json(j, s);
}

bool draw_and_save(const batch_summary_t &s, const char *png)
{
    draw_win();
    if (win == nullptr)
        return false;
    summary_page_t page;
    draw_summary_page(page, s);
    Evas *evas = evas_object_evas_get(win);
    evas_damage_rectangle_add(evas, 0, 0, CAPTURE_W + 1, CAPTURE_H + 1);
    elm_win_render(win);
    FILE *fp = fopen(png, "wbe");
    bool ok = fp != nullptr && write_canvas_png(fp);
    if (fp != nullptr)
        ok = fclose(fp) == 0 && ok;
    else
        fprintf(stderr, "analyzer-summary-png: %s: %s\n", png, strerror(errno));
    del_summary_page(page);
    return ok;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        fprintf(stderr, "Usage: analyzer-summary-png SUMMARY.json PICTURE.png\n"
                        "(started by analyzer-results --summary-png)\n");
        return 2;
    }
    batch_summary_t summary;
    if (!read_summary(argv[1], summary)) {
        fprintf(stderr, "analyzer-summary-png: %s holds no summary\n", argv[1]);
        return 1;
    }
    // Always drawn in memory, with the artwork of the tree the program lies
    // in, and without the toolkit's system-bus modules, which a picture never
    // needs (without a bus they only log errors).
    prepare_headless();
    setenv("ECORE_NO_SYSTEM_MODULES", "1", 1);
    if (const std::string missing = missing_artwork(); !missing.empty()) {
        fprintf(stderr, "analyzer-summary-png: missing %s: the page's images and font are looked for there; nothing was drawn\n",
                missing.c_str());
        return 1;
    }
    efreet_cache_disable();
    elm_init(argc, argv);
    const bool ok = draw_and_save(summary, argv[2]);
    elm_shutdown();
    return ok ? 0 : 1;
}
