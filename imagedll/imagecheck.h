// Structural checks run before decoding: the decoder reads zeros past the end
// of its input, so a cut-off file would decode to a half-grey picture. Each
// check walks the format's own framing far enough to know that every byte the
// decoder needs lies inside the file.
#ifndef IMAGEDLL_IMAGECHECK_H
#define IMAGEDLL_IMAGECHECK_H

#include <cstddef>

enum class ImageKind { None, Jpeg, Png, Bmp, Gif, Tga };

// The kind the file's header announces; Tga when nothing else matches and
// the header is a plausible TGA header, None otherwise.
ImageKind image_kind(const unsigned char* p, size_t n);

// True when the file of that kind is complete enough to decode.
bool image_complete(ImageKind kind, const unsigned char* p, size_t n);

#endif
