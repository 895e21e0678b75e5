// Deleting a canvas's objects.
#pragma once
#include "draw/draw_bg.h"

// Deletes every object of the list and empties it.
void delete_objects(Eina_List *&list);

void del_canvas_data(canvas_t *canvas);
void del_canvas(canvas_t *canvas);
void show_canvas_chart(canvas_t *canvas);
void show_canvas_data(canvas_t *canvas);
