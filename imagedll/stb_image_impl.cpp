// The one translation unit that holds the decoder's code. Only the formats
// jpeg.dll offers are compiled in; files are read by loadimage.cpp.

// Horizontal chroma doubling for 4:2:2 JPEGs. The decoder's own version
// weighs the last two chroma samples the wrong way round for the
// second-to-last output column (3/4 of the far sample instead of the near
// one), which puts that column tens of levels off wherever colour changes
// near the right edge. This is the usual triangle filter, with the
// rounding other JPEG decoders use (+1 on even, +2 on odd outputs).
// The name is declared in parentheses so that the macro below, which moves
// the decoder's own definition out of the way, leaves this one alone; the
// decoder's table of resamplers then picks this function.
static unsigned char*(stbi__resample_row_h_2)(unsigned char* out, unsigned char* in_near,
                                              unsigned char* in_far, int w, int hs) {
    (void)in_far;
    (void)hs;
    const unsigned char* in = in_near;
    if (w == 1) {
        out[0] = out[1] = in[0];
        return out;
    }
    out[0] = in[0];
    out[1] = (unsigned char)((in[0] * 3 + in[1] + 2) >> 2);
    for (int i = 1; i < w - 1; ++i) {
        int near3 = in[i] * 3;
        out[2 * i] = (unsigned char)((near3 + in[i - 1] + 1) >> 2);
        out[2 * i + 1] = (unsigned char)((near3 + in[i + 1] + 2) >> 2);
    }
    out[2 * w - 2] = (unsigned char)((in[w - 1] * 3 + in[w - 2] + 1) >> 2);
    out[2 * w - 1] = in[w - 1];
    return out;
}
#define stbi__resample_row_h_2(...) stbi__resample_row_h_2_replaced(__VA_ARGS__)

#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_ONLY_JPEG
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STBI_ONLY_TGA
#define STBI_ONLY_GIF
#define STBI_NO_HDR
#define STBI_NO_LINEAR
#define STBI_MAX_DIMENSIONS 16384
#include <stb_image.h>
