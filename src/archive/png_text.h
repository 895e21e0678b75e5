// The text chunks of a PNG file, read with libpng: where the captures carry
// their record.
#pragma once
#include <png.h>

#include <cstdio>
#include <functional>
#include <string_view>

inline constexpr png_alloc_size_t PNG_TEXT_CHUNK_MAX = 1 << 20;  // bytes of a chunk, decompressed
inline constexpr png_uint_32 PNG_TEXT_CHUNKS_MAX = 32;

// Reads the PNG header of `fp` and hands each text chunk before the image
// data (tEXt, zTXt or iTXt) to `take` as its keyword and text; a chunk over
// PNG_TEXT_CHUNK_MAX and the chunks after PNG_TEXT_CHUNKS_MAX are left out.
// False when libpng fails; what is said then is up to the caller's error
// handlers.
// The reading may go on with the same `png` and `info` (the pixels).
bool read_png_text_chunks(png_structp png, png_infop info, FILE *fp,
                          const std::function<void(const char *key, std::string_view text)> &take);
