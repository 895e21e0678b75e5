// The product logo and title in the upper left corner of the window.
#pragma once
#include <Evas.h>

// The title text, restyled with the panel for the white capture.
extern Evas_Object *efl_logo_text;

// Puts the logo and the title text on the main window (nothing without one).
void draw_logo_and_title();
