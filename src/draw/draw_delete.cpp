#include "draw/draw_delete.h"

#include <cstdlib>

void delete_objects(Eina_List *&list)
{
    void *obj;
    EINA_LIST_FREE(list, obj)
        evas_object_del(static_cast<Evas_Object *>(obj));
}

namespace {

void show_objects(Eina_List *list)
{
    Eina_List *l;
    void *obj;
    EINA_LIST_FOREACH(list, l, obj)
        evas_object_show(static_cast<Evas_Object *>(obj));
}

}  // namespace

void show_canvas_chart(canvas_t *canvas)
{
    if (canvas != nullptr)
        show_objects(canvas->chart_list);
}

void show_canvas_data(canvas_t *canvas)
{
    if (canvas != nullptr)
        show_objects(canvas->data_list);
}

void del_canvas_data(canvas_t *canvas)
{
    if (canvas == nullptr)
        return;
    // The role lists of data objects go with the objects, so a later
    // restyle never touches a deleted line, label or verdict.
    canvas->data_line_list = eina_list_free(canvas->data_line_list);
    canvas->data_text_list = eina_list_free(canvas->data_text_list);
    canvas->result_text = nullptr;
    delete_objects(canvas->data_list);
}

void del_canvas(canvas_t *canvas)
{
    if (canvas == nullptr)
        return;
    delete_objects(canvas->chart_list);
    del_canvas_data(canvas);
    // The role lists only referenced objects deleted above.
    canvas->x_y_list = eina_list_free(canvas->x_y_list);
    canvas->x_y_text_list = eina_list_free(canvas->x_y_text_list);
    canvas->x_gap_list = eina_list_free(canvas->x_gap_list);
    canvas->x_gap_text_list = eina_list_free(canvas->x_gap_text_list);
    canvas->bg = nullptr;
    free(canvas->title);
    canvas->title = nullptr;
    free(canvas->left_label);
    canvas->left_label = nullptr;
    free(canvas->down_label);
    canvas->down_label = nullptr;
}
