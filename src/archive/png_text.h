// The text chunks of a PNG file, read with libpng: where the captures carry
// their record.
#pragma once
#include <png.h>

#include <cstdio>
#include <functional>
#include <string_view>

// Reads the PNG header of `fp` and hands each text chunk before the image
// data (tEXt, zTXt or iTXt) to `take` as its keyword and text. False when
// libpng fails; what is said then is up to the caller's error handlers.
// The reading may go on with the same `png` and `info` (the pixels).
bool read_png_text_chunks(png_structp png, png_infop info, FILE *fp,
                          const std::function<void(const char *key, std::string_view text)> &take);
