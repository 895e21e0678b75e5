// Names of the gamut and colour-checker slots, in slot order: the labels of
// the bar charts and the names in the results record.
#pragma once
#include "color/signal_tables.h"

inline constexpr const char *gamut_names[GAMUT_COUNT] = {"White", "Red", "Green", "Blue", "Cyan", "Magenta", "Yellow"};

inline constexpr char checker_names[CHECK_COUNT][20] = {
    "Dark Skin",  "Light Skin",    "Blue Sky",     "Foliage",      "Blue Flower",  "Bluish Green",
    "Orange",     "Purplish Blue", "Moderate Red", "Purple",       "Yellow Green", "Orange Yellow",
    "Blue",       "Green",         "Red",          "Yellow",       "Magenta",      "Cyan",
};
