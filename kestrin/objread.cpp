// The OBJ reader. It fills the record exactly as reading the file line by
// line with input$ and the word functions would, but in one pass over a
// block buffer with its own number scanners: no pool traffic, no allocation
// and no copy per element.
//
// What it mirrors of the line reader:
// - a line comes in pieces of at most 255 characters, a CR LF pair folded
//   into one LF (and never split); a NUL byte ends the piece's text;
// - only spaces separate words; a tab or a line feed belongs to its word;
// - numbers are read from one word at a time: val (strtoll, saturated to
//   int) and fval (strtod rounded to float).
#include <cfloat>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "objtype.h"

int test = 0;
int size = 0;

namespace {

// input$ hands out at most 255 characters per call.
const int piecemax = cbufferlen - 1;

// Bytes read from the file per refill; the lookahead must hold one piece.
const size_t blocksize = 1 << 16;

inline bool digit(char c) { return static_cast<unsigned char>(c - '0') < 10; }

// The whitespace strtod and strtoll skip, less the space (which never
// occurs inside a word).
inline bool blank(char c) { return c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

inline const char* skipspaces(const char* p, const char* e) {
    while (p < e && *p == ' ') ++p;
    return p;
}

inline const char* skipword(const char* p, const char* e) {
    while (p < e && *p != ' ') ++p;
    return p;
}

// The hard cases (hex, inf, nan, long mantissas, far exponents) go to the
// same conversion fval uses.
float slowfloat(const char* b, const char* e) {
    char word[cbufferlen];
    size_t n = size_t(e - b) < sizeof word - 1 ? size_t(e - b) : sizeof word - 1;
    memcpy(word, b, n);
    word[n] = 0;
    return float(strtod(word, nullptr));
}

const double pow10tab[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// float(strtod(word)) for the word [b, e). A mantissa of at most 2^53 and a
// power of ten up to 10^22 are both exact doubles, so one IEEE multiply or
// divide gives the correctly rounded double that strtod gives.
float wordfloat(const char* b, const char* e) {
    const char* p = b;
    while (p < e && blank(*p)) ++p;
    if (p == e) return 0.0f;
    bool neg = false;
    if (*p == '+' || *p == '-') neg = *p++ == '-';
    if (e - p >= 2 && p[0] == '0' && (p[1] | 0x20) == 'x') return slowfloat(b, e);
    uint64_t m = 0;
    int digits = 0;  // significant digits in m
    int exp10 = 0;
    bool any = false;
    for (; p < e && digit(*p); ++p) {
        any = true;
        unsigned d = unsigned(*p - '0');
        if (m == 0 && d == 0) continue;
        if (digits == 19) return slowfloat(b, e);
        m = m * 10 + d, ++digits;
    }
    if (p < e && *p == '.') {
        for (++p; p < e && digit(*p); ++p) {
            any = true;
            unsigned d = unsigned(*p - '0');
            --exp10;
            if (m == 0 && d == 0) continue;
            if (digits == 19) return slowfloat(b, e);
            m = m * 10 + d, ++digits;
        }
    }
    if (!any) return slowfloat(b, e);  // inf, nan, a lone sign or point
    if (p < e && (*p | 0x20) == 'e') {
        // An exponent without digits is not part of the number.
        const char* q = p + 1;
        bool eneg = false;
        if (q < e && (*q == '+' || *q == '-')) eneg = *q++ == '-';
        if (q < e && digit(*q)) {
            int x = 0;
            for (; q < e && digit(*q); ++q)
                if (x < 100000) x = x * 10 + (*q - '0');
            exp10 += eneg ? -x : x;
        }
    }
    if (m == 0) return neg ? -0.0f : 0.0f;
    if (m <= (uint64_t(1) << 53) && exp10 >= -22 && exp10 <= 22) {
#if FLT_EVAL_METHOD == 0
        double d = double(m);
        d = exp10 >= 0 ? d * pow10tab[exp10] : d / pow10tab[-exp10];
        return float(neg ? -d : d);
#else
        // x87 arithmetic may round twice; only an integer is exact there.
        if (exp10 == 0) return float(neg ? -double(m) : double(m));
#endif
    }
    return slowfloat(b, e);
}

// val() of the word [b, e): strtoll saturated to int.
int wordint(const char* b, const char* e) {
    const char* p = b;
    while (p < e && blank(*p)) ++p;
    bool neg = false;
    if (p < e && (*p == '+' || *p == '-')) neg = *p++ == '-';
    int64_t v = 0;
    for (; p < e && digit(*p); ++p)
        if (v <= int64_t(INT_MAX) + 1) v = v * 10 + (*p - '0');
    if (neg) v = -v;
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return int(v);
}

// An index as the record keeps it: positive ones clamped at the last slot,
// relative ones (-1 = the last element read so far) made absolute, and one
// before the first element pointing at the empty slot 0.
inline int32_t index(const char* b, const char* e, int count) {
    int v = wordint(b, e);
    if (v >= 0) return v < OBJ_MAXELEMENTS ? v : OBJ_MAXELEMENTS;
    int64_t r = int64_t(count) + 1 + v;
    return r < 1 ? 0 : int32_t(r);
}

inline const char* slash(const char* p, const char* e) {
    const void* s = memchr(p, '/', size_t(e - p));
    return s ? static_cast<const char*>(s) : nullptr;
}

struct counters {
    int vertices = 0, normals = 0, texcoords = 0, faces = 0, materials = 0;
};

// One corner "v", "v/t", "v//n" or "v/t/n"; n only for the first corner.
inline void corner(const char* b, const char* e, const counters& c, int32_t& vi, int32_t& ti, int32_t* ni) {
    const char* s1 = slash(b, e);
    vi = index(b, s1 ? s1 : e, c.vertices);
    if (!s1) {
        ti = 0;
        if (ni) *ni = 0;
        return;
    }
    const char* s2 = slash(s1 + 1, e);
    ti = index(s1 + 1, s2 ? s2 : e, c.texcoords);
    if (!ni) return;
    if (!s2) {
        *ni = 0;
        return;
    }
    const char* s3 = slash(s2 + 1, e);
    *ni = index(s2 + 1, s3 ? s3 : e, c.normals);
}

inline int bump(int n, int most) { return n < most ? n + 1 : most; }

// The next word after position p: [*b, return).
inline const char* word(const char*& p, const char* e) {
    p = skipspaces(p, e);
    return skipword(p, e);
}

void floats(const char* p, const char* e, float* out, int n) {
    for (int i = 0; i < n; ++i) {
        const char* b = p;
        const char* we = word(b, e);
        out[i] = wordfloat(b, we);
        p = we;
    }
}

bool isusemtl(const char* k) {
    static const char name[] = "usemtl";
    for (int i = 0; i < 6; ++i)
        if ((k[i] | 0x20) != name[i]) return false;
    return true;
}

// One piece of a line, [p, e), holding no NUL.
void parseline(obj_type* obj, counters& c, const char* p, const char* e) {
    const char* k = skipspaces(p, e);
    const char* ke = skipword(k, e);
    // Only ASCII capitals turn into these letters with |0x20.
    switch (ke - k) {
    case 1:
        if ((k[0] | 0x20) == 'v') {
            c.vertices = bump(c.vertices, OBJ_MAXELEMENTS);
            floats(ke, e, obj->vertex[c.vertices], 3);
        } else if ((k[0] | 0x20) == 'f') {
            c.faces = bump(c.faces, OBJ_MAXELEMENTS);
            face_type& f = obj->face[c.faces];
            const char* w = ke;
            const char* we = word(w, e);
            corner(w, we, c, f.vi[0], f.ti[0], &f.ni[0]);
            w = we, we = word(w, e);
            corner(w, we, c, f.vi[1], f.ti[1], nullptr);
            w = we, we = word(w, e);
            corner(w, we, c, f.vi[2], f.ti[2], nullptr);
            w = we, we = word(w, e);
            if (w == e)
                f.vi[3] = 0;  // nothing after the third corner: a triangle
            else
                corner(w, we, c, f.vi[3], f.ti[3], nullptr);
        }
        break;
    case 2:
        if ((k[0] | 0x20) != 'v') break;
        if ((k[1] | 0x20) == 'n') {
            c.normals = bump(c.normals, OBJ_MAXELEMENTS);
            floats(ke, e, obj->normal[c.normals], 3);
        } else if ((k[1] | 0x20) == 't') {
            c.texcoords = bump(c.texcoords, OBJ_MAXELEMENTS);
            floats(ke, e, obj->texcoord[c.texcoords], 2);
        }
        break;
    case 6:
        if (isusemtl(k)) {
            c.materials = bump(c.materials, OBJ_MAXMATERIALS);
            obj->matstart[c.materials] = c.faces;
            const char* w = ke;
            const char* we = word(w, e);
            // The name ends at its line feed or carriage return.
            const char* n = w;
            while (n < we && *n != '\n' && *n != '\r') ++n;
            char name[cbufferlen];
            memcpy(name, w, size_t(n - w));
            name[n - w] = 0;
            obj->matname[c.materials] = name;
        }
        break;
    }
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

void setprefix(obj_type* obj, char* filename) {
    char* base = instrrev$(filename, '\\');
    char* cutname = leftc$(base, len(base) - 4);
    obj->prefix = wordc$(cutname, 1);
    if (test == 1) notice(strc$("prefix$=", cutname));
}

}  // namespace

int Loadobj(obj_type* obj, char* filename) {
    setprefix(obj, filename);
    FILE* file = open(filename, "r");
    if (!file) return 0;

    counters c;
    // One piece of lookahead past the block so a piece never straddles a refill.
    static char buffer[blocksize + cbufferlen + 1];
    const char* p = buffer;
    const char* end = buffer;
    bool atend = false;
    bool nul = false;
    for (;;) {
        if (!atend && size_t(end - p) <= size_t(piecemax)) {
            size_t rest = size_t(end - p);
            memmove(buffer, p, rest);
            size_t want = sizeof buffer - 1 - rest;
            size_t got = fread(buffer + rest, 1, want, file);
            // A short read is the end of the file or a read error; both end reading.
            if (got < want) atend = true;
            p = buffer;
            end = buffer + rest + got;
            nul = memchr(buffer, 0, rest + got) != nullptr;
        }
        if (p == end) break;
        const char* q = pieceend(p, end);
        const char* textend = q;
        if (nul) {
            const void* z = memchr(p, 0, size_t(q - p));
            if (z) textend = static_cast<const char*>(z);
        }
        parseline(obj, c, p, textend);
        p = q;
    }
    close(file);

    obj->matstart[min(OBJ_MAXMATERIALS, c.materials + 1)] = c.faces + 999;
    obj->matstart[0] = 0;
    obj->nvertex = c.vertices;
    obj->nface = c.faces;
    obj->ntexcoord = c.texcoords;
    obj->nnormal = c.normals;
    return 1;
}
