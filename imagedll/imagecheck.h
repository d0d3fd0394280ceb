// Structural checks run before decoding: the decoder reads zeros past the end
// of its input, so a cut-off file would decode to a half-grey picture. Each
// check walks the format's own framing far enough to know that every byte the
// decoder needs lies inside the file.
#ifndef IMAGEDLL_IMAGECHECK_H
#define IMAGEDLL_IMAGECHECK_H

#include <cstddef>
#include <vector>

enum class ImageKind { None, Jpeg, Png, Bmp, Gif, Tga };

// The kind the file's header announces; Tga when nothing else matches and
// the header is a plausible TGA header, None otherwise.
ImageKind image_kind(const unsigned char* p, size_t n);

// True when the file of that kind is complete enough to decode.
bool image_complete(ImageKind kind, const unsigned char* p, size_t n);

// A JPEG's marker segments and scan data copied into `out`, without stray
// bytes between segments; false when the framing is broken. `ended` is
// false when the file stops after scan data without an end-of-image marker
// (`out` then has none either): whether that scan data is complete only a
// decode can tell.
bool jpeg_clean(const unsigned char* p, size_t n, std::vector<unsigned char>& out, bool& ended);

// Where the first image of a GIF lies on its logical screen; false when the
// file is not complete up to the end of that image's data.
struct GifFrame {
    unsigned x, y, w, h;
};
bool gif_first_frame(const unsigned char* p, size_t n, GifFrame& frame);

#endif
