// The OBJ reader. It fills the record exactly as reading the file line by
// line with input$ and the word functions would, but in one pass over the
// file, read in blocks into one reused buffer and parsed while each block is
// in the cache (reading the bytes costs little next to parsing them; mapping
// the file cost more in page faults than the copy), with its own number
// scanners: no pool traffic, no allocation and no copy per element. With
// SSE2, bit masks of each line's bytes say where its words and numbers are,
// so that they are read independently of each other; the 32-bit build, made
// for processors that may lack SSE2, asks the processor once and keeps the
// piece-by-piece reader for those without. Each keyword has one rule, which
// both ways of finding the words feed.
//
// Limits:
// - The format subset: "v", "vt", "vn", "f" and "usemtl"; every other line
//   (groups, objects, smoothing, material libraries, comments, free-form
//   geometry) is ignored. Material files are never read.
// - Capacities: 99999 vertices, texture coordinates, normals and faces and
//   199 materials (OBJ_MAXELEMENTS, OBJ_MAXMATERIALS); past them the last
//   slot is overwritten. Faces keep their first four corners; only the first
//   corner's normal index is kept. Indices clamp at 99999; relative ones are
//   resolved against the count so far.
// - Lines are read in pieces of at most 255 characters, as input$ gives
//   them; words are separated by spaces only.
// - Memory: the fixed 8 MB record (kept between the entry points' calls)
//   plus one 64 KiB block buffer and a small tail copy, whatever the file's
//   size; nothing is allocated per call but the record on the first one.
//   Data already in memory is read in place.
// - Work: linear in the bytes read; a number of more than 19 digits or a far
//   exponent takes the exact path of numbers.cpp, whose cost is bounded by
//   the piece's 255 characters.
// - Not reentrant: the state below is the process's one reader.
//
// What it mirrors of the line reader:
// - a line comes in pieces of at most 255 characters, a CR LF pair folded
//   into one LF (and never split); a NUL byte ends the piece's text;
// - only spaces separate words; a tab or a line feed belongs to its word;
// - numbers are read from one word at a time: val (strtoll, saturated to
//   int) and fval (kestrin's own decimal grammar, numbers.h, rounded to
//   float).
#include <cfloat>
#include <cstddef>
#include <cstdio>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "numbers.h"
#include "objtype.h"
#include "platform.h"

// KESTRIN_NO_SSE2 leaves the mask reader out (the tests build the fallback
// that way). Built without -msse2 on x86, the mask reader is compiled for
// SSE2 anyway and chosen at run time.
#if !defined(KESTRIN_NO_SSE2) && defined(__SSE2__)
#define KESTRIN_SSE2 1
#elif !defined(KESTRIN_NO_SSE2) && (defined(__i386__) || defined(__x86_64__)) && defined(__GNUC__)
#define KESTRIN_SSE2 1
#define KESTRIN_SSE2_AT_RUN_TIME 1
#include <cpuid.h>
#endif
#if defined(KESTRIN_SSE2)
#include <emmintrin.h>
#endif

int test = 0;
int size = 0;

namespace {

// input$ hands out at most 255 characters per call.
const int piecemax = cbufferlen - 1;

// Bytes read from the file per refill; the lookahead must hold one piece.
const size_t blocksize = 1 << 16;

// Readable bytes past the data, so that the number scanners can load 8
// bytes at a time and look a little past the end of a piece.
const size_t slack = 64;

// Data read in place ends with this many bytes read from a copy with slack:
// the scanners look up to 64 bytes past a piece of at most 255.
const size_t tailmargin = 512;

// The reader's process-wide state, all of it. kestrin is not reentrant: one
// call at a time, from one thread (the host's GUI thread); two readers at
// once would share these buffers.
struct readerstate {
    // Every file is read through this one buffer: a block, one piece of
    // lookahead so that a piece never straddles a refill, and the slack.
    char block[blocksize + cbufferlen + slack];
    // The last bytes of data read in place, with slack behind them.
    char tail[tailmargin + slack];
    // The record the entry points lend out, kept between calls so that a
    // call does not pay the page faults of 8 fresh megabytes again; only
    // what the last call wrote is cleared. Null while lent out.
    obj_type* kept = nullptr;
    // A host that unloads the library gets the memory back.
    ~readerstate() { free(kept); }
};
readerstate reader;

inline bool digit(char c) { return static_cast<unsigned char>(c - '0') < 10; }

// The whitespace the number grammar and strtoll skip, less the space
// (which never occurs inside a word).
inline bool blank(char c) { return c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

inline const char* skipspaces(const char* p, const char* e) {
    while (p < e && *p == ' ') ++p;
    return p;
}

inline const char* skipword(const char* p, const char* e) {
    while (p < e && *p != ' ') ++p;
    return p;
}

const uint32_t pow10int[9] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};

// The run of decimal digits at p, at most 8: its length, and its value in v.
// Loads 8 bytes whatever the run's length: the caller makes sure they are
// readable (the block buffer has slack) and checks the length against the
// end of its text.
inline int digitsat(const char* p, uint32_t& v) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    uint64_t x;
    memcpy(&x, p, 8);
    x ^= 0x3030303030303030ull;  // a digit byte becomes 0..9, anything else 10 or more
    uint64_t other = ((x + 0x7676767676767676ull) | x) & 0x8080808080808080ull;
    int n = other ? __builtin_ctzll(other) >> 3 : 8;  // carries only reach later bytes
    if (n == 0) {
        v = 0;
        return 0;
    }
    // Shift the n digits to the top with zero digits below them, then fold
    // pairs, quads and the two halves.
    x <<= 8 * (8 - n);
    x = x * 10 + (x >> 8);
    x = (((x & 0x000000FF000000FFull) * (100 + (1000000ull << 32))) +
         (((x >> 16) & 0x000000FF000000FFull) * (1 + (10000ull << 32)))) >>
        32;
    v = uint32_t(x);
    return n;
#else
    int n = 0;
    v = 0;
    while (n < 8 && digit(p[n])) v = v * 10 + unsigned(p[n++] - '0');
    return n;
#endif
}

// The same, not looking past e.
inline int digits8(const char* p, const char* e, uint32_t& v) {
    int n = digitsat(p, v);
    if (n <= e - p) return n;
    n = int(e - p);
    v = 0;
    for (int i = 0; i < n; ++i) v = v * 10 + unsigned(p[i] - '0');
    return n;
}

const double pow10tab[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
const double negpow10tab[23] = {1e-0,  1e-1,  1e-2,  1e-3,  1e-4,  1e-5,  1e-6,  1e-7,  1e-8,  1e-9,  1e-10, 1e-11,
                                1e-12, 1e-13, 1e-14, 1e-15, 1e-16, 1e-17, 1e-18, 1e-19, 1e-20, 1e-21, 1e-22};

// float(RN(m / 10^k)) without a division, for 1 <= |m| <= 2^53 (an integer) and k <= 22.
// m times the double nearest 10^-k lies within a few units in the last place
// of the exact quotient, and so of its correctly rounded double. Rounding to
// float drops 29 bits and changes its result only at the doubles whose
// dropped bits are exactly 1000...0 (the midpoints between floats; every
// result here is a normal float). Unless the product lies near such a
// midpoint, it rounds to the same float as the exact quotient would; near
// one, the caller takes the slow way. Where the FPU computes in more
// precision, a store makes the check see the very double that is converted.
inline bool quotientfloat(double m, int k, float& out) {
#if FLT_EVAL_METHOD == 0
    double v = m * negpow10tab[k];
#else
    volatile double y = m * negpow10tab[k];
    double v = y;
#endif
    uint64_t b;
    memcpy(&b, &v, sizeof b);
    uint32_t dropped = uint32_t(b) & 0x1FFFFFFFu;
    if (dropped - (0x10000000u - 16u) <= 32u) return false;
    out = float(v);
    return true;
}

// Reads the word at p (p is at its start or at e) as fval would, and moves
// p to the end of the word. Decimals with at most 19 digits and a small
// exponent are converted here, the rest (long mantissas, far exponents) as
// fval does it.
__attribute__((noinline)) float floatword(const char*& p, const char* e) {
    const char* b = p;
    const char* q = skipword(b, e);  // the number may not reach past the word
    p = q;
    decimalscan d;
    scandecimal(b, q, d);
    if (!d.found) return 0.0f;
    bool neg = d.negative;
    uint64_t m = d.mantissa;
    int exp10 = d.exp10 < -1000 ? -1000 : d.exp10 > 1000 ? 1000 : int(d.exp10);
    if (!d.exact) return float(decimalvalue(b, q));
    if (m == 0) return neg ? -0.0f : 0.0f;
    if (m <= (uint64_t(1) << 53) && exp10 >= -22 && exp10 <= 22) {
        float f;
        if (exp10 < 0) {
            if (quotientfloat(double(m), -exp10, f)) return neg ? -f : f;
        } else {
#if FLT_EVAL_METHOD == 0
            // Both factors are exact: one rounding, as the exact conversion's.
            double v = double(m) * pow10tab[exp10];
            return float(neg ? -v : v);
#else
            // x87 arithmetic may round twice; an integer alone is exact.
            if (exp10 == 0) return float(neg ? -double(m) : double(m));
#endif
        }
    }
    return float(decimalvalue(b, q));
}

// The common words, an optional minus, up to 7 digits, and optionally a
// point and up to 7 more, ended by anything but an exponent: converted at
// once. It looks past e freely (the buffer has slack) and hands the word to
// floatword whenever what it read did not end before e.
__attribute__((always_inline)) inline float readfloat(const char*& p, const char* e) {
    const char* q = p;
    bool neg = *q == '-';
    q += neg;
    uint32_t whole;
    int n = digitsat(q, whole);
    if (n == 0 || n == 8) return floatword(p, e);
    q += n;
    uint64_t m = whole;
    int k = 0;
    if (*q == '.') {
        uint32_t frac;
        k = digitsat(q + 1, frac);
        if (k == 8) return floatword(p, e);
        m = m * pow10int[k] + frac;  // at most 14 digits: exact, below 2^53
        q += 1 + k;
    }
    if (q >= e) {
        if (q > e) return floatword(p, e);
    } else if ((*q | 0x20) == 'e' || (*q | 0x20) == 'd') {  // an exponent may follow
        return floatword(p, e);
    }
    float f;
    if (m == 0) {
        f = 0.0f;
    } else if (k == 0) {
        f = float(double(m));  // exact double, one rounding
    } else if (!quotientfloat(double(m), k, f)) {
        return floatword(p, e);
    }
    while (q < e && *q != ' ') ++q;
    p = q;
    // The sign goes on without a branch: it is as random as the data.
    uint32_t u;
    memcpy(&u, &f, 4);
    u ^= uint32_t(neg) << 31;
    memcpy(&f, &u, 4);
    return f;
}

// Reads one component of a corner at q as val would (strtoll saturated to
// int) and moves q to the '/' that ends it, or to the end of the word.
int intword(const char*& q, const char* e) {
    while (q < e && blank(*q)) ++q;
    bool neg = false;
    if (q < e && (*q == '-' || *q == '+')) neg = *q++ == '-';
    int64_t v = 0;
    for (;;) {
        uint32_t d;
        int n = digits8(q, e, d);
        if (v <= int64_t(INT_MAX)) v = v * pow10int[n] + d;  // past that, saturated anyway
        q += n;
        if (n < 8) break;
    }
    while (q < e && *q != '/' && *q != ' ') ++q;
    if (neg) v = -v;
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return int(v);
}

// Up to 7 plain digits at once (looking past e, like readfloat), the rest
// through intword.
inline int readint(const char*& q, const char* e) {
    uint32_t v;
    int n = digitsat(q, v);
    if (n == 0 || n == 8 || n > e - q) return intword(q, e);
    q += n;
    while (q < e && *q != '/' && *q != ' ') ++q;
    return int(v);
}

// The component [q, e) of a corner whose end is known already.
inline int intat(const char* q, const char* e) {
    uint32_t v;
    int n = digitsat(q, v);
    if (n == 0 || n == 8 || n > e - q) return intword(q, e);
    return int(v);
}

// An index as the record keeps it: positive ones clamped at the last slot,
// relative ones (-1 = the last element read so far) made absolute, and one
// before the first element pointing at the empty slot 0.
inline int32_t toindex(int v, int count) {
    if (v >= 0) return v < OBJ_MAXELEMENTS ? v : OBJ_MAXELEMENTS;
    int64_t r = int64_t(count) + 1 + v;
    return r < 1 ? 0 : int32_t(r);
}

inline int32_t readindex(const char*& q, const char* e, int count) { return toindex(readint(q, e), count); }

struct counters {
    int vertices = 0, normals = 0, texcoords = 0, faces = 0, materials = 0;
};

// One corner "v", "v/t", "v//n" or "v/t/n" at the word start q; n only for
// the first corner. Leaves q at the end of the word.
inline void corner(const char*& q, const char* e, const counters& c, int32_t& vi, int32_t& ti, int32_t* ni) {
    vi = readindex(q, e, c.vertices);
    int32_t t = 0, n = 0;
    if (q < e && *q == '/') {
        ++q;
        t = readindex(q, e, c.texcoords);
        if (ni && q < e && *q == '/') {
            ++q;
            n = readindex(q, e, c.normals);
        }
    }
    ti = t;
    if (ni) *ni = n;
    while (q < e && *q != ' ') ++q;
}

// Corners from number `first` on, word by word: up to the third, then a
// fourth unless nothing at all is left of the line (a triangle).
inline void plaincorners(const char* q, const char* e, const counters& c, face_type& f, int first) {
    int j = first;
    for (; j < 3; ++j) {
        q = skipspaces(q, e);
        corner(q, e, c, f.vi[j], f.ti[j], j == 0 ? &f.ni[0] : nullptr);
    }
    if (j != 3) return;
    q = skipspaces(q, e);
    if (q == e)
        f.vi[3] = 0;
    else
        corner(q, e, c, f.vi[3], f.ti[3], nullptr);
}

inline int bump(int n, int most) { return n < most ? n + 1 : most; }

// The next n words from p as floats.
inline void plainfloats(const char* p, const char* e, float* out, int n) {
    for (int i = 0; i < n; ++i) {
        p = skipspaces(p, e);
        out[i] = readfloat(p, e);
    }
}

bool isusemtl(const char* k) {
    static const char name[] = "usemtl";
    for (int i = 0; i < 6; ++i)
        if ((k[i] | 0x20) != name[i]) return false;
    return true;
}

// ---- one rule per keyword ---------------------------------------------------
// Each rule takes the rest of its line from a word source: plainwords scans
// the piece byte by byte, maskwords (below) reads the bit masks of its first
// 64 bytes and goes on plainly past them. Both give the same words and
// numbers, so a rule is written once for both readers.

template <class Words>
inline void vertexrule(obj_type* obj, counters& c, Words& w) {
    c.vertices = bump(c.vertices, OBJ_MAXELEMENTS);
    w.floats(obj->vertex[c.vertices], 3);
}

template <class Words>
inline void normalrule(obj_type* obj, counters& c, Words& w) {
    c.normals = bump(c.normals, OBJ_MAXELEMENTS);
    w.floats(obj->normal[c.normals], 3);
}

template <class Words>
inline void texcoordrule(obj_type* obj, counters& c, Words& w) {
    c.texcoords = bump(c.texcoords, OBJ_MAXELEMENTS);
    w.floats(obj->texcoord[c.texcoords], 2);
}

template <class Words>
inline void facerule(obj_type* obj, counters& c, Words& w) {
    c.faces = bump(c.faces, OBJ_MAXELEMENTS);
    w.corners(c, obj->face[c.faces]);
}

// The name is the next word, up to its line feed or carriage return. Rare
// enough to be read plainly by both sources, from the keyword's end p.
void materialrule(obj_type* obj, counters& c, const char* p, const char* e) {
    c.materials = bump(c.materials, OBJ_MAXMATERIALS);
    obj->matstart[c.materials] = c.faces;
    const char* w = skipspaces(p, e);
    const char* we = skipword(w, e);
    const char* n = w;
    while (n < we && *n != '\n' && *n != '\r') ++n;
    char name[cbufferlen];
    memcpy(name, w, size_t(n - w));
    name[n - w] = 0;
    obj->matname[c.materials] = name;
}

// The keyword [k, ke) picks the rule; every other line is ignored. Only
// ASCII capitals turn into these letters with |0x20.
template <class Words>
inline void dispatch(obj_type* obj, counters& c, const char* k, const char* ke, const char* e, Words& w) {
    switch (ke - k) {
    case 1:
        if ((k[0] | 0x20) == 'v') return vertexrule(obj, c, w);
        if ((k[0] | 0x20) == 'f') return facerule(obj, c, w);
        break;
    case 2:
        if ((k[0] | 0x20) != 'v') break;
        if ((k[1] | 0x20) == 'n') return normalrule(obj, c, w);
        if ((k[1] | 0x20) == 't') return texcoordrule(obj, c, w);
        break;
    case 6:
        if (isusemtl(k)) materialrule(obj, c, ke, e);
        break;
    }
}

// The words after the keyword, from p to the piece's end e.
struct plainwords {
    const char* p;
    const char* e;
    void floats(float* out, int n) { plainfloats(p, e, out, n); }
    void corners(const counters& c, face_type& f) { plaincorners(p, e, c, f, 0); }
};

// One piece of a line, [p, e), holding no NUL.
void parseline(obj_type* obj, counters& c, const char* p, const char* e) {
    const char* k = skipspaces(p, e);
    const char* ke = skipword(k, e);
    plainwords w{ke, e};
    dispatch(obj, c, k, ke, e, w);
}

// Where the piece starting at p ends, as input$ cuts it: after the LF, or
// after 255 characters, a CR LF pair counting as one.
inline const char* pieceend(const char* p, const char* end) {
    size_t avail = size_t(end - p);
    size_t look = avail < size_t(piecemax) + 1 ? avail : size_t(piecemax) + 1;
    const char* lf = static_cast<const char*>(memchr(p, '\n', look));
    if (lf) {
        size_t k = size_t(lf - p);
        if (k < size_t(piecemax) || (k == size_t(piecemax) && p[k - 1] == '\r')) return lf + 1;
    }
    return p + (avail < size_t(piecemax) ? avail : size_t(piecemax));
}

// Without SSE2 the masks would cost more than they save: a piece at a time,
// each scanned by the plain scanners.
const char* plainpieces(obj_type* obj, counters& c, const char* p, const char* limit, const char* end) {
    while (p < limit) {
        const char* e = pieceend(p, end);
        const void* z = memchr(p, 0, size_t(e - p));
        parseline(obj, c, p, z ? static_cast<const char*>(z) : e);
        p = e;
    }
    return p;
}

#if defined(KESTRIN_SSE2)

#if defined(KESTRIN_SSE2_AT_RUN_TIME)
// The floating-point arithmetic stays the build's (x87 in the 32-bit
// build), so both readers give the same bits.
#pragma GCC push_options
#pragma GCC target("sse2")
#endif

// The first 64 bytes of a piece as bit masks, bit i for p[i]. Knowing where
// every word starts lets the numbers of a line be read independently of
// each other, instead of each scan waiting for the one before it to find
// its end.
struct window {
    uint64_t starts;   // a word starts here
    uint64_t spaces;   // a space, or the end of a piece that ends in the window
    uint64_t slashes;
    uint64_t digits;
};

// The masks of the first n bytes at p (64 are read whatever n is; only 32
// are looked at when n is at most 32, most lines being that short).
inline void classify(const char* p, window& w, size_t n) {
    w.spaces = w.slashes = w.digits = 0;
    const __m128i sp = _mm_set1_epi8(' '), sl = _mm_set1_epi8('/');
    const __m128i below0 = _mm_set1_epi8('0' - 1), above9 = _mm_set1_epi8('9' + 1);
    int chunks = n <= 32 ? 2 : 4;
    for (int i = 0; i < chunks; ++i) {
        __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
        auto bits = [i](__m128i m) { return uint64_t(uint32_t(_mm_movemask_epi8(m))) << (16 * i); };
        w.spaces |= bits(_mm_cmpeq_epi8(x, sp));
        w.slashes |= bits(_mm_cmpeq_epi8(x, sl));
        // Signed compares: bytes from 0x80 up are negative, so no digits.
        w.digits |= bits(_mm_and_si128(_mm_cmpgt_epi8(x, below0), _mm_cmplt_epi8(x, above9)));
    }
}

// Bits for the bytes '\n' and NUL among the 64 at q, those from end on left out.
inline uint64_t stopbits(const char* q, const char* end) {
    uint64_t stop = 0;
    const __m128i lf = _mm_set1_epi8('\n'), zero = _mm_setzero_si128();
    for (int i = 0; i < 4; ++i) {
        __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q + 16 * i));
        __m128i m = _mm_or_si128(_mm_cmpeq_epi8(x, lf), _mm_cmpeq_epi8(x, zero));
        stop |= uint64_t(uint32_t(_mm_movemask_epi8(m))) << (16 * i);
    }
    if (end - q < 64) stop &= (uint64_t(1) << (end - q)) - 1;
    return stop;
}

inline int lowbit(uint64_t x) { return __builtin_ctzll(x); }

// Keeps the bits of the first n bytes, the piece's (or the rest's) own; if
// they end in the window, the end closes the last word. Then marks where
// words start.
inline void bound(window& w, size_t n) {
    uint64_t inside = ~uint64_t(0);
    if (n < 64) {
        inside = (uint64_t(1) << n) - 1;
        w.spaces = (w.spaces & inside) | (uint64_t(1) << n);
        w.slashes &= inside;
        w.digits &= inside;
    }
    w.starts = ~w.spaces & ((w.spaces << 1) | 1) & inside;
}

// The word [s, end) at the lowest start of w, taking it off w. False when
// no word starts in the window or the word runs past it.
inline bool nextword(window& w, int& s, int& end) {
    if (!w.starts) return false;
    s = lowbit(w.starts);
    uint64_t after = w.spaces & (~uint64_t(0) << s);
    if (!after) return false;
    end = lowbit(after);
    w.starts &= w.starts - 1;
    return true;
}

// The value of the n (0..7) digits at the low end of x (already xored with
// '0's), whatever follows them.
inline uint32_t digitsvalue(uint64_t x, int n) {
    x = (x << (8 * (7 - n))) << 8;  // the digits to the top, zeros below (n = 0 gives 0)
    x = x * 10 + (x >> 8);
    x = (((x & 0x000000FF000000FFull) * (100 + (1000000ull << 32))) +
         (((x >> 16) & 0x000000FF000000FFull) * (1 + (10000ull << 32)))) >>
        32;
    return uint32_t(x);
}

// The component [a+from, a+to) of a corner as an index of an element of
// which count are read. One that starts with 1 to 7 digits is their value
// whatever follows them (val stops at the first other character), taken
// straight from the digit mask (bits relative to a); the rest as val reads
// them.
inline int32_t componentat(const char* a, int from, int to, uint64_t dg, int count) {
    int run = lowbit(~dg >> from);  // the corner's end is no digit, so the run stays in it
    if (unsigned(run - 1) < 7u) {
        uint64_t x;
        memcpy(&x, a + from, 8);
        uint32_t v = digitsvalue(x ^ 0x3030303030303030ull, run);
        return v < uint32_t(OBJ_MAXELEMENTS) ? int32_t(v) : OBJ_MAXELEMENTS;
    }
    return toindex(intat(a + from, a + to), count);
}

// A corner [a, a+len) whose slashes and digits (bits relative to a) are
// known; the bit at len is no digit.
inline void fastcorner(const char* a, int len, uint64_t sl, uint64_t dg, const counters& c, int32_t& vi,
                       int32_t& ti, int32_t* ni) {
    int s1 = sl ? lowbit(sl) : len;
    vi = componentat(a, 0, s1, dg, c.vertices);
    int32_t t = 0, n = 0;
    if (s1 < len) {
        sl &= sl - 1;
        int s2 = sl ? lowbit(sl) : len;
        t = componentat(a, s1 + 1, s2, dg, c.texcoords);
        if (ni && s2 < len) {
            sl &= sl - 1;
            int s3 = sl ? lowbit(sl) : len;
            n = componentat(a, s2 + 1, s3, dg, c.normals);
        }
    }
    ti = t;
    if (ni) *ni = n;
}

// Kept out of line, so that floatat stays small where it is inlined.
__attribute__((noinline)) float slowfloatat(const char* p, int s, int end) {
    const char* q = p + s;
    return readfloat(q, p + end);
}

// The word [s, end) of a piece at p, read as fval would. The usual shape,
// an optional minus, digits, a point and digits, at most 8 bytes from the
// first digit, is measured on the digit mask and converted from a single
// load with the point squeezed out; anything else goes through readfloat.
__attribute__((always_inline)) inline float floatat(const char* p, int s, int end, uint64_t digits) {
    bool neg = p[s] == '-';
    int a = s + neg;
    int whole = lowbit(~digits >> a);  // the word's end is no digit
    int dot = a + whole;
    int frac = dot < end ? lowbit(~digits >> (dot + 1)) : 0;
    int t = dot + 1 + frac;  // the first character after the number
    // 1 to 7 digits in at most 8 bytes; no exponent mark after them.
    if (dot >= end || p[dot] != '.' || unsigned(t - a - 2) > 6u ||
        (t < end && ((p[t] | 0x20) == 'e' || (p[t] | 0x20) == 'd')))
        return slowfloatat(p, s, end);
    uint64_t x;
    memcpy(&x, p + a, 8);
    x ^= 0x3030303030303030ull;
    // Drop the point: the whole digits stay, the fraction's move down a byte.
    uint64_t low = x & ((uint64_t(1) << (8 * whole)) - 1);  // whole <= 7 here
    uint64_t high = ((x >> (8 * whole)) >> 8) << (8 * whole);
    int32_t m = int32_t(digitsvalue(low | high, whole + frac));
    if (m == 0) return neg ? -0.0f : 0.0f;
    // The sign goes on the integer without a branch (it is as random as the
    // data); the conversions below keep it and round symmetrically.
    m = (m ^ -int32_t(neg)) + int32_t(neg);
    if (frac == 0) return float(double(m));  // exact double, one rounding
    float f;
    if (!quotientfloat(double(m), frac, f)) return slowfloatat(p, s, end);
    return f;
}

// n floats of the words after the keyword; from the first word that does
// not lie wholly in the window on, the plain scanners go on from where the
// last one ended.
inline void fastfloats(const char* p, const char* e, window& w, int from, float* out, int n) {
    int i = 0;
    for (int s, end; i < n && nextword(w, s, end); ++i) {
        out[i] = floatat(p, s, end, w.digits);
        from = end;
    }
    if (i < n) plainfloats(p + from, e, out + i, n - i);
}

// The words after the keyword, which ends at ke; w describes the first 64
// bytes of the piece [p, e).
struct maskwords {
    const char* p;
    const char* e;
    window w;
    int ke;
    void floats(float* out, int n) { fastfloats(p, e, w, ke, out, n); }
    void corners(const counters& c, face_type& f) {
        // The corners' bits are relative to b; a corner running past the
        // window gets a new window from the end of the last one.
        const char* b = p;
        int j = 0, from = ke;
        while (j < 4) {
            int s, end;
            if (!nextword(w, s, end)) {
                if (e - b <= 64 || from == 0) break;  // no more words, or one longer than a window
                b += from, from = 0;
                classify(b, w, size_t(e - b));
                bound(w, size_t(e - b));
                continue;
            }
            uint64_t sl = (w.slashes >> s) & ((uint64_t(1) << (end - s)) - 1);
            fastcorner(b + s, end - s, sl, w.digits >> s, c, f.vi[j], f.ti[j], j == 0 ? &f.ni[0] : nullptr);
            from = end;
            ++j;
        }
        // The rest as the plain reader does it, from the end of the last corner read.
        plaincorners(b + from, e, c, f, j);
    }
};

// One piece [p, e) without NUL, its first bytes described by w.
void fastline(obj_type* obj, counters& c, const char* p, const char* e, window w) {
    int k, ke;
    if (!nextword(w, k, ke)) return parseline(obj, c, p, e);
    maskwords words{p, e, w, ke};
    dispatch(obj, c, p + k, p + ke, e, words);
}

// Reads the pieces starting before limit, of the data ending at end, and
// returns where it stopped. At least 64 bytes past any piece are readable
// (the data's own or slack).
//
// Finding where a line ends is the one step each line waits for, so the
// line feeds (and NULs) come from a mask of 64 bytes at a time, kept across
// lines: the next end is its lowest bit, at the cost of a shift and a
// count instead of a load and compare per line.
const char* maskpieces(obj_type* obj, counters& c, const char* p, const char* limit, const char* end) {
    const char* base = p;  // ends holds the stops of [base, base+64) from p on
    uint64_t ends = stopbits(base, end);
    while (p < limit) {
        while (!ends && base + 64 < end && base + 64 - p < piecemax) {
            // Nothing more in this block: [p, base+64) has no stop; on to
            // the next, as far as a piece can reach.
            base += 64;
            ends = stopbits(base, end);
        }
        const char* at = ends ? base + lowbit(ends) : nullptr;
        if (at && at - p < piecemax && *at == '\n') {
            // The usual line: up to its LF, no NUL in it.
            const char* e = at + 1;
            ends &= ends - 1;
            window w;
            classify(p, w, size_t(e - p));
            bound(w, size_t(e - p));
            fastline(obj, c, p, e, w);
            p = e;
            continue;
        }
        // A NUL, a line of 255 characters or more, or the last line without
        // its LF: the plain way, then the block starts afresh.
        const char* e = pieceend(p, end);
        const void* z = memchr(p, 0, size_t(e - p));
        parseline(obj, c, p, z ? static_cast<const char*>(z) : e);
        p = base = e;
        ends = p < end ? stopbits(p, end) : 0;
    }
    return p;
}

#if defined(KESTRIN_SSE2_AT_RUN_TIME)
#pragma GCC pop_options

bool processorhassse2() {
    unsigned a, b, c, d;
    return __get_cpuid(1, &a, &b, &c, &d) && (d & bit_SSE2);
}

// Asked once, when the library is loaded.
const bool usemasks = processorhassse2();
#else
const bool usemasks = true;
#endif

#else
const bool usemasks = false;
const char* maskpieces(obj_type*, counters&, const char* p, const char*, const char*) { return p; }
#endif

const char* pieces(obj_type* obj, counters& c, const char* p, const char* limit, const char* end) {
    return usemasks ? maskpieces(obj, c, p, limit, end) : plainpieces(obj, c, p, limit, end);
}

void setprefix(obj_type* obj, char* filename) {
    char* base = instrrev$(filename, '\\');
    char* cutname = leftc$(base, len(base) - 4);
    obj->prefix = wordc$(cutname, 1);
    if (test == 1) notice(strc$("prefix$=", cutname));
}

// After the last line: the end sentinel behind the last material, the counts.
void finish(obj_type* obj, const counters& c) {
    obj->matstart[min(OBJ_MAXMATERIALS, c.materials + 1)] = c.faces + 999;
    obj->matstart[0] = 0;
    obj->nvertex = c.vertices;
    obj->nface = c.faces;
    obj->ntexcoord = c.texcoords;
    obj->nnormal = c.normals;
}

// The whole file in memory, ending exactly at data + n (nothing may be read
// past it).
void readinplace(obj_type* obj, counters& c, const char* data, size_t n) {
    const char* end = data + n;
    const char* p = n > tailmargin ? pieces(obj, c, data, end - tailmargin, end) : data;
    size_t rest = size_t(end - p);
    if (rest) memcpy(reader.tail, p, rest);
    memset(reader.tail + rest, 0, sizeof reader.tail - rest);
    pieces(obj, c, reader.tail, reader.tail + rest, reader.tail + rest);
}

// The file in blocks, each parsed while it is still in the cache.
void readblocks(obj_type* obj, counters& c, FILE* file) {
    char* buffer = reader.block;
    const char* p = buffer;
    const char* end = buffer;
    for (bool atend = false; !atend;) {
        size_t rest = size_t(end - p);
        memmove(buffer, p, rest);
        size_t want = sizeof reader.block - slack - rest;
        size_t got = fread(buffer + rest, 1, want, file);
        // A short read is the end of the file or a read error; both end reading.
        atend = got < want;
        end = buffer + rest + got;
        p = pieces(obj, c, buffer, atend ? end : end - piecemax, end);
    }
}

// Zeroes what Loadobj may have written into a record: everything before the
// arrays, and each array up to its count (every slot written lies at or
// below the final count, which only grows).
void clearwritten(obj_type* obj) {
    auto slots = [](int32_t n) { return size_t(n < 0 ? 0 : n > OBJ_MAXELEMENTS ? OBJ_MAXELEMENTS : n) + 1; };
    size_t v = slots(obj->nvertex), f = slots(obj->nface), t = slots(obj->ntexcoord), n = slots(obj->nnormal);
    memset(obj, 0, offsetof(obj_type, vertex));
    memset(obj->vertex, 0, v * sizeof obj->vertex[0]);
    memset(obj->face, 0, f * sizeof obj->face[0]);
    memset(obj->texcoord, 0, t * sizeof obj->texcoord[0]);
    memset(obj->normal, 0, n * sizeof obj->normal[0]);
}

}  // namespace

obj_type* takerecord(const char* entry, const char* filename) {
    if (!reader.kept) {
        reader.kept = static_cast<obj_type*>(calloc(1, sizeof(obj_type)));
        if (!reader.kept) {
            kestrinbox(strc$("not enough memory to read the model\r", filename), entry,
                       KESTRIN_MB_OK | KESTRIN_MB_ICONERROR);
            return nullptr;
        }
    } else {
        clearwritten(reader.kept);
    }
    obj_type* obj = reader.kept;
    reader.kept = nullptr;  // lent out: a nested take would get a record of its own
    return obj;
}

void giverecord(obj_type* obj) {
    if (!obj) return;
    if (reader.kept)
        free(obj);
    else
        reader.kept = obj;
}

void readobj(obj_type* obj, FILE* file) {
    counters c;
    readblocks(obj, c, file);
    finish(obj, c);
}

void readobj(obj_type* obj, const char* data, size_t size) {
    counters c;
    readinplace(obj, c, data, size);
    finish(obj, c);
}

int Loadobj(obj_type* obj, char* filename) {
    setprefix(obj, filename);
    FILE* file = open(filename, "r");
    if (!file) return 0;
    readobj(obj, file);
    close(file);
    return 1;
}
