#include "charts/checker_chart.h"

#include <cstdio>

namespace {

constexpr int SLOTS = 18;

constexpr char names[SLOTS][20] = {
    "Dark Skin",  "Light Skin",   "Blue Sky",      "Foliage",      "Blue Flower", "Bluish Green",
    "Orange",     "Purplish Blue", "Moderate Red", "Purple",       "Yellow Green", "Orange Yellow",
    "Blue",       "Green",        "Red",           "Yellow",       "Magenta",     "Cyan",
};

}  // namespace

int checker_slot_count()
{
    return SLOTS;
}

void checker_slot_name(int i, char *text, size_t size)
{
    snprintf(text, size, "%s", names[i]);
}
