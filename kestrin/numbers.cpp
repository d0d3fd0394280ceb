// Decimal text to double, correctly rounded. The usual numbers (at most 19
// significant digits, a small exponent) take one exact product or quotient
// where the FPU rounds once to double; everything else, and every inexact
// case on an x87 FPU (which may round twice), goes through an exact decimal
// that is scaled by powers of two until its top 53 bits can be rounded.
#include "numbers.h"

#include <cfloat>
#include <cstring>

namespace {

inline bool digit(char c) { return static_cast<unsigned char>(c - '0') < 10; }

inline bool blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

inline bool exponentmark(char c) { return c == 'e' || c == 'E' || c == 'd' || c == 'D'; }

// Far enough out that every exponent past it overflows or underflows, near
// enough that sums of such values stay far from overflowing int64.
const int64_t farexp = 1000000000;

// The digits of the number, as 0.d[0]d[1]...d[nd-1] times 10^dp, trailing
// zeros trimmed; trunc when nonzero digits were dropped past the last kept
// one. 800 digits are enough to decide every rounding of a double.
struct bigdecimal {
    enum { maxdigits = 800 };
    unsigned char d[maxdigits];
    int nd = 0;
    int dp = 0;
    bool trunc = false;
};

void trim(bigdecimal& a) {
    while (a.nd > 0 && a.d[a.nd - 1] == 0) --a.nd;
    if (a.nd == 0) a.dp = 0;
}

// Shifts by at most 60 bits keep every intermediate below 2^64.
const int maxshift = 60;

// a = a / 2^k.
void rightshift(bigdecimal& a, int k) {
    int r = 0, w = 0;
    uint64_t n = 0;
    // Enough leading digits for the first quotient digit.
    for (; (n >> k) == 0; ++r) {
        if (r >= a.nd) {
            if (n == 0) {
                a.nd = 0;
                return;
            }
            while ((n >> k) == 0) {
                n *= 10;
                ++r;
            }
            break;
        }
        n = n * 10 + a.d[r];
    }
    a.dp -= r - 1;
    const uint64_t mask = (uint64_t(1) << k) - 1;
    for (; r < a.nd; ++r) {
        uint64_t c = a.d[r];
        a.d[w++] = static_cast<unsigned char>(n >> k);
        n = (n & mask) * 10 + c;
    }
    while (n > 0) {
        uint64_t dig = n >> k;
        n &= mask;
        if (w < bigdecimal::maxdigits)
            a.d[w++] = static_cast<unsigned char>(dig);
        else if (dig > 0)
            a.trunc = true;
        n *= 10;
    }
    a.nd = w;
    trim(a);
}

// a = a * 2^k.
void leftshift(bigdecimal& a, int k) {
    unsigned char out[bigdecimal::maxdigits + 24];  // 2^60 adds at most 19 digits
    int w = int(sizeof out);
    uint64_t n = 0;
    for (int r = a.nd - 1; r >= 0; --r) {
        n += uint64_t(a.d[r]) << k;
        uint64_t q = n / 10;
        out[--w] = static_cast<unsigned char>(n - 10 * q);
        n = q;
    }
    while (n > 0) {
        uint64_t q = n / 10;
        out[--w] = static_cast<unsigned char>(n - 10 * q);
        n = q;
    }
    int count = int(sizeof out) - w;
    a.dp += count - a.nd;
    if (count > bigdecimal::maxdigits) {
        for (int i = bigdecimal::maxdigits; i < count; ++i)
            if (out[w + i]) a.trunc = true;
        count = bigdecimal::maxdigits;
    }
    memcpy(a.d, out + w, size_t(count));
    a.nd = count;
    trim(a);
}

void shift(bigdecimal& a, int k) {
    for (; k > maxshift; k -= maxshift) leftshift(a, maxshift);
    for (; k < -maxshift; k += maxshift) rightshift(a, maxshift);
    if (k > 0) leftshift(a, k);
    if (k < 0) rightshift(a, -k);
}

// Whether a rounds up when cut after digit nd: above half, or exactly half
// and the kept part odd (or something nonzero was dropped).
bool roundsup(const bigdecimal& a, int nd) {
    if (nd < 0 || nd >= a.nd) return false;
    if (a.d[nd] == 5 && nd + 1 == a.nd) return a.trunc || (nd > 0 && a.d[nd - 1] % 2 == 1);
    return a.d[nd] >= 5;
}

// The integer part of a (at most 2^54 here), rounded to nearest even.
uint64_t roundedinteger(const bigdecimal& a) {
    uint64_t n = 0;
    int i = 0;
    for (; i < a.dp && i < a.nd; ++i) n = n * 10 + a.d[i];
    for (; i < a.dp; ++i) n *= 10;
    if (roundsup(a, a.dp)) ++n;
    return n;
}

const uint64_t mantbits = 52;
const int bias = -1023;
const uint64_t infbits = uint64_t(0x7FF) << mantbits;

// The bits of the double nearest to a (not negative).
uint64_t doublebits(bigdecimal& a) {
    if (a.nd == 0 || a.dp < -330) return 0;
    if (a.dp > 310) return infbits;
    // Scale by powers of two into [1/2, 1), about 10^dp at a time.
    static const int powtab[] = {1, 3, 6, 9, 13, 16, 19, 23, 26};
    int exp = 0;
    while (a.dp > 0) {
        int n = a.dp >= 9 ? 27 : powtab[a.dp];
        shift(a, -n);
        exp += n;
    }
    while (a.dp < 0 || (a.dp == 0 && a.d[0] < 5)) {
        int n = -a.dp >= 9 ? 27 : powtab[-a.dp];
        shift(a, n);
        exp -= n;
    }
    --exp;  // a double's mantissa lies in [1, 2)
    if (exp < bias + 1) {  // subnormal: fewer bits
        int n = bias + 1 - exp;
        shift(a, -n);
        exp += n;
    }
    if (exp - bias >= 0x7FF) return infbits;
    shift(a, int(mantbits) + 1);
    uint64_t mant = roundedinteger(a);
    if (mant == uint64_t(2) << mantbits) {  // rounding carried into a new bit
        mant >>= 1;
        if (++exp - bias >= 0x7FF) return infbits;
    }
    if (!(mant & (uint64_t(1) << mantbits))) exp = bias;  // still subnormal
    return (mant & ((uint64_t(1) << mantbits) - 1)) | (uint64_t(exp - bias) << mantbits);
}

double slowvalue(const char* p, const char* e, const decimalscan& s) {
    bigdecimal a;
    int64_t dp = 0;
    const char* q = p;
    while (q < e && !digit(*q) && *q != '.') ++q;  // blanks and sign
    bool fraction = false;
    for (; q < s.end; ++q) {
        if (*q == '.') {
            if (fraction) break;
            fraction = true;
            continue;
        }
        if (!digit(*q)) break;  // the exponent
        unsigned char d = static_cast<unsigned char>(*q - '0');
        if (a.nd == 0 && d == 0) {  // a leading zero
            if (fraction) --dp;
            continue;
        }
        if (!fraction) ++dp;
        if (a.nd < bigdecimal::maxdigits)
            a.d[a.nd++] = d;
        else if (d)
            a.trunc = true;
    }
    // The exponent, when the scan took one: q is at its mark.
    if (q < s.end && exponentmark(*q)) {
        const char* x = q + 1;
        bool neg = false;
        if (*x == '+' || *x == '-') neg = *x++ == '-';
        int64_t v = 0;
        for (; x < s.end && digit(*x); ++x)
            if (v < farexp) v = v * 10 + (*x - '0');
        dp += neg ? -v : v;
    }
    trim(a);
    if (a.nd == 0) return s.negative ? -0.0 : 0.0;
    if (dp > farexp) dp = farexp;
    if (dp < -farexp) dp = -farexp;
    a.dp = int(dp);
    uint64_t bits = doublebits(a) | (uint64_t(s.negative) << 63);
    double v;
    memcpy(&v, &bits, sizeof v);
    return v;
}

const double pow10tab[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

const uint64_t two53 = uint64_t(1) << 53;

// The value when one correctly rounded operation gives it; false otherwise.
bool fastvalue(const decimalscan& s, double& out) {
    if (!s.exact || s.mantissa > two53) return false;
    uint64_t m = s.mantissa;
    int64_t k = s.exp10;
    // m * 10^k as an exact integer of at most 53 bits needs no rounding at all.
    while (k > 0 && m <= two53 / 10) m *= 10, --k;
    if (k == 0) {
        out = double(m);
        return true;
    }
#if FLT_EVAL_METHOD == 0
    // Both operands are exact doubles, so IEEE arithmetic rounds once.
    if (k > 0 && k <= 22) {
        out = double(m) * pow10tab[k];
        return true;
    }
    if (k < 0 && k >= -22) {
        out = double(m) / pow10tab[-k];
        return true;
    }
#endif
    return false;
}

}  // namespace

void scandecimal(const char* p, const char* e, decimalscan& out) {
    out.end = p;
    out.found = false;
    out.negative = false;
    out.exact = true;
    out.mantissa = 0;
    out.exp10 = 0;
    const char* q = p;
    while (q < e && blank(*q)) ++q;
    bool negative = false;
    if (q < e && (*q == '+' || *q == '-')) negative = *q++ == '-';
    uint64_t m = 0;
    int kept = 0;  // significant digits in m
    int64_t exp10 = 0;
    bool found = false, exact = true;
    for (; q < e && digit(*q); ++q) {
        found = true;
        if (kept < 19) {
            m = m * 10 + unsigned(*q - '0');
            kept += m != 0;
        } else {
            if (exp10 < farexp) ++exp10;
            exact &= *q == '0';
        }
    }
    if (q < e && *q == '.') {
        ++q;
        for (; q < e && digit(*q); ++q) {
            found = true;
            if (kept < 19) {
                m = m * 10 + unsigned(*q - '0');
                kept += m != 0;
                if (exp10 > -farexp) --exp10;
            } else {
                exact &= *q == '0';
            }
        }
    }
    if (!found) return;
    if (q < e && exponentmark(*q)) {
        const char* x = q + 1;
        bool xneg = false;
        if (x < e && (*x == '+' || *x == '-')) xneg = *x++ == '-';
        if (x < e && digit(*x)) {
            int64_t v = 0;
            for (; x < e && digit(*x); ++x)
                if (v < farexp) v = v * 10 + (*x - '0');
            exp10 += xneg ? -v : v;
            q = x;
        }
    }
    out.end = q;
    out.found = true;
    out.negative = negative;
    out.exact = exact;
    out.mantissa = m;
    out.exp10 = exp10;
}

double decimalvalue(const char* p, const char* e) {
    decimalscan s;
    scandecimal(p, e, s);
    if (!s.found) return 0.0;
    if (s.mantissa == 0 && s.exact) return s.negative ? -0.0 : 0.0;
    double v;
    if (fastvalue(s, v)) return s.negative ? -v : v;
    return slowvalue(p, e, s);
}
