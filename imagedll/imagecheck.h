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

// A JPEG's framing walked as the decoder is to see it: its marker segments
// and scan data without what other decoders skip with a warning (stray
// bytes between segments, the parameterless markers there). Entropy-coded
// data after a scan header holds no marker except restarts (0xFF is stuffed
// as FF 00), so the walk resumes at the next real marker. next() gives the
// cleaned stream run by run, each a view into the file; false at its end.
// The walk refuses (good() false) a table that overflows the decoder's
// arrays and a scan that would decode with a Huffman or quantization table
// never defined: the decoder would read whatever its memory held.
// A file may stop after scan data without its end-of-image marker: ended()
// tells, and the stream then ends with the scan data, less any 0xFF fill
// bytes at the very end; whether that data is complete only a decode can
// tell.
class JpegWalk {
public:
    JpegWalk(const unsigned char* p, size_t n) : data_(p), size_(n) {}
    bool next(const unsigned char*& run, size_t& len);
    bool good() const { return state_ == Done; }
    bool ended() const { return ended_; }
    bool progressive() const { return progressive_; }

private:
    bool scan_ok(const unsigned char* p, size_t n);
    bool finish(bool good);  // ends the walk; false, for next() to return

    const unsigned char* data_;
    size_t size_;
    size_t i_ = 0;
    enum { Walking, Ending, Done, Broken } state_ = Walking;
    bool ended_ = false, scanned_ = false, progressive_ = false;
    unsigned huffman_ = 0;  // bit th: DC table th defined; bit 4 + th: AC table th
    unsigned quant_ = 0;    // bit tq: quantization table tq defined
    unsigned frame_components_ = 0;
    unsigned component_id_[4] = {}, component_table_[4] = {};
};

// Walks the whole framing: true when it is sound, with `ended` as above.
bool jpeg_framing(const unsigned char* p, size_t n, bool& ended);

// Where the first image of a GIF lies on its logical screen; false when the
// file is not complete up to the end of that image's data.
struct GifFrame {
    unsigned x, y, w, h;
};
bool gif_first_frame(const unsigned char* p, size_t n, GifFrame& frame);

#endif
