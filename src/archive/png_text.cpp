#include "archive/png_text.h"

bool read_png_text_chunks(png_structp png, png_infop info, FILE *fp,
                          const std::function<void(const char *key, std::string_view text)> &take)
{
    // libpng reports errors by longjmp: no C++ object lives in this frame.
    if (setjmp(png_jmpbuf(png)))
        return false;
    // A record is a few KB: bounds the memory a hostile file's text chunks
    // take (each chunk, decompressed, and their number; libpng skips the
    // rest). The image data keeps libpng's own bound, set by the image size.
    png_set_chunk_malloc_max(png, PNG_TEXT_CHUNK_MAX);
    png_set_chunk_cache_max(png, PNG_TEXT_CHUNKS_MAX);
    png_init_io(png, fp);
    png_read_info(png, info);
    png_textp text = nullptr;
    const int n = png_get_text(png, info, &text, nullptr);
    for (int i = 0; i < n; ++i)
        take(text[i].key, {text[i].text, text[i].compression >= PNG_ITXT_COMPRESSION_NONE ? text[i].itxt_length
                                                                                          : text[i].text_length});
    return true;
}
