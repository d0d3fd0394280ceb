// Decimal text to double, correctly rounded. The usual numbers (at most 19
// significant digits, a small exponent) take one exact product or quotient
// where the FPU rounds once to double. Everything else, and every inexact
// case on an x87 FPU (which may round twice), starts from a close guess and
// settles the last bit by comparing the decimal exactly, in integers, with
// the midpoints between neighbouring doubles: a few microseconds at worst,
// whatever the FPU.
#include "numbers.h"

#include <cfloat>
#include <cmath>
#include <cstring>

namespace {

inline bool digit(char c) { return static_cast<unsigned char>(c - '0') < 10; }

inline bool blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

inline bool exponentmark(char c) { return c == 'e' || c == 'E' || c == 'd' || c == 'D'; }

// Far enough out that every exponent past it overflows or underflows, near
// enough that sums of such values stay far from overflowing int64.
const int64_t farexp = 1000000000;

// A natural number in 32-bit limbs, lowest first; room for every product
// below (781 digits times 5^1105, shifted by a few dozen bits).
struct bignum {
    enum { maxlimbs = 160 };
    uint32_t limb[maxlimbs];
    int n = 0;
};

void mulsmall(bignum& a, uint32_t m) {
    uint64_t carry = 0;
    for (int i = 0; i < a.n; ++i) {
        uint64_t t = uint64_t(a.limb[i]) * m + carry;
        a.limb[i] = uint32_t(t);
        carry = t >> 32;
    }
    if (carry) a.limb[a.n++] = uint32_t(carry);
}

void addsmall(bignum& a, uint32_t v) {
    for (int i = 0; v && i < a.n; ++i) {
        uint64_t t = uint64_t(a.limb[i]) + v;
        a.limb[i] = uint32_t(t);
        v = uint32_t(t >> 32);
    }
    if (v) a.limb[a.n++] = v;
}

void mulpow5(bignum& a, int k) {
    static const uint32_t pow5[14] = {1,       5,        25,        125,        625,       3125,      15625,
                                      78125,   390625,   1953125,   9765625,    48828125,  244140625, 1220703125};
    for (; k >= 13; k -= 13) mulsmall(a, pow5[13]);
    if (k) mulsmall(a, pow5[k]);
}

// a * x, x below 2^64.
void mul64(const bignum& a, uint64_t x, bignum& out) {
    out.n = 0;
    if (a.n == 0 || x == 0) return;
    const uint32_t xs[2] = {uint32_t(x), uint32_t(x >> 32)};
    int xn = xs[1] ? 2 : 1;
    out.n = a.n + xn;
    for (int i = 0; i < out.n; ++i) out.limb[i] = 0;
    for (int j = 0; j < xn; ++j) {
        uint64_t carry = 0;
        for (int i = 0; i < a.n; ++i) {
            uint64_t t = uint64_t(a.limb[i]) * xs[j] + out.limb[i + j] + carry;
            out.limb[i + j] = uint32_t(t);
            carry = t >> 32;
        }
        out.limb[a.n + j] = uint32_t(carry);
    }
    while (out.n > 0 && out.limb[out.n - 1] == 0) --out.n;
}

void shiftleft(bignum& a, int bits) {
    if (a.n == 0 || bits == 0) return;
    int words = bits / 32, b = bits % 32;
    int n = a.n + words + 1;
    for (int i = n - 1; i >= 0; --i) {
        int from = i - words;
        uint64_t hi = from >= 0 && from < a.n ? a.limb[from] : 0;
        uint64_t lo = from - 1 >= 0 && from - 1 < a.n ? a.limb[from - 1] : 0;
        a.limb[i] = b ? uint32_t((hi << b) | (lo >> (32 - b))) : uint32_t(hi);
    }
    a.n = n;
    while (a.n > 0 && a.limb[a.n - 1] == 0) --a.n;
}

int compare(const bignum& a, const bignum& b) {
    if (a.n != b.n) return a.n < b.n ? -1 : 1;
    for (int i = a.n - 1; i >= 0; --i)
        if (a.limb[i] != b.limb[i]) return a.limb[i] < b.limb[i] ? -1 : 1;
    return 0;
}

// The decimal D * 10^e10 (D as limbs, both sides of every comparison
// multiplied by 5^-e10 when e10 is negative), compared exactly with X * 2^F.
struct exactdecimal {
    bignum scaled;  // D * 5^max(e10, 0)
    bignum pow5;    // 5^max(-e10, 0)
    int e10;

    int versus(uint64_t x, int f) const {
        bignum left = scaled, right;
        mul64(pow5, x, right);
        int d = e10 - f;  // the powers of two left over on each side
        if (d > 0) shiftleft(left, d);
        if (d < 0) shiftleft(right, -d);
        return compare(left, right);
    }
};

const uint64_t hidden = uint64_t(1) << 52;
const int minexp = -1074;  // a double is M * 2^E, M < 2^53, E >= -1074
const int maxexp = 971;

// The double nearest to D * 10^e10 (D > 0), starting from a guess a few
// units in the last place off at most and stepping by exact comparisons
// with the midpoints to the neighbours, ties to the even one.
double nearest(const exactdecimal& v, double guess) {
    uint64_t b;
    if (!(guess <= 1.7976931348623157e308)) guess = 1.7976931348623157e308;  // infinity: start at the top
    memcpy(&b, &guess, 8);
    int field = int(b >> 52) & 0x7FF;
    uint64_t m = b & (hidden - 1);
    int e = minexp;
    if (field) m |= hidden, e = field - 1075;
    for (;;) {
        int up = v.versus(2 * m + 1, e - 1);
        if (up > 0 || (up == 0 && (m & 1))) {
            if (++m == 2 * hidden) m = hidden, ++e;
            if (e > maxexp) return HUGE_VAL;
            continue;
        }
        if (m == 0) break;
        int down = m == hidden && e > minexp ? v.versus(4 * m - 1, e - 2) : v.versus(2 * m - 1, e - 1);
        if (down < 0 || (down == 0 && (m & 1))) {
            if (--m < hidden && e > minexp) m = 2 * hidden - 1, --e;
            continue;
        }
        break;
    }
    b = m >= hidden ? (uint64_t(e + 1075) << 52) | (m - hidden) : m;
    double out;
    memcpy(&out, &b, 8);
    return out;
}

const double pow10tab[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// m * 10^k to within a few units in the last place: a start for nearest.
double roughly(uint64_t m, int k) {
    double v = double(m);
    for (; k > 22; k -= 22) v *= 1e22;
    for (; k < -22; k += 22) v /= 1e22;
    return k >= 0 ? v * pow10tab[k] : v / pow10tab[-k];
}

// Every case the fast one leaves: the digits as an exact number.
double slowvalue(const char* p, const decimalscan& s) {
    // The significant digits, at most 780 of them; a nonzero digit beyond
    // them becomes one more digit 1, which falls between the same midpoints
    // (no midpoint of two doubles has more than 767 significant digits).
    enum { maxdigits = 780 };
    char digits[maxdigits + 1];
    int nd = 0;
    int64_t dp = 0;  // digits before the point, leading zeros left out
    bool dropped = false, fraction = false;
    const char* q = p;
    while (!digit(*q) && *q != '.') ++q;  // blanks and sign
    for (; q < s.end; ++q) {
        if (*q == '.') {
            if (fraction) break;
            fraction = true;
            continue;
        }
        if (!digit(*q)) break;  // the exponent mark
        if (nd == 0 && *q == '0') {
            if (fraction) --dp;
            continue;
        }
        if (!fraction) ++dp;
        if (nd < maxdigits)
            digits[nd++] = *q;
        else
            dropped |= *q != '0';
    }
    if (q < s.end && exponentmark(*q)) {
        const char* x = q + 1;
        bool neg = false;
        if (*x == '+' || *x == '-') neg = *x++ == '-';
        int64_t v = 0;
        for (; x < s.end && digit(*x); ++x)
            if (v < farexp) v = v * 10 + (*x - '0');
        dp += neg ? -v : v;
    }
    if (dropped)
        digits[nd++] = '1';  // right after the 780th, zeros or not
    else
        while (nd > 0 && digits[nd - 1] == '0') --nd;
    double sign = s.negative ? -1.0 : 1.0;
    if (nd == 0) return sign * 0.0;
    // The value lies in [10^(dp-1), 10^dp).
    if (dp > 310) return sign * HUGE_VAL;
    if (dp < -324) return sign * 0.0;  // below 10^-324, less than half the smallest double

    exactdecimal v;
    v.e10 = int(dp) - nd;
    v.scaled.n = 0;
    for (int i = 0; i < nd; i += 9) {
        uint32_t chunk = 0, scale = 1;
        for (int j = i; j < nd && j < i + 9; ++j) chunk = chunk * 10 + uint32_t(digits[j] - '0'), scale *= 10;
        mulsmall(v.scaled, scale);
        addsmall(v.scaled, chunk);
    }
    mulpow5(v.scaled, v.e10 > 0 ? v.e10 : 0);
    v.pow5.n = 1;
    v.pow5.limb[0] = 1;
    mulpow5(v.pow5, v.e10 < 0 ? -v.e10 : 0);

    uint64_t m = 0;
    int lead = nd < 19 ? nd : 19;
    for (int i = 0; i < lead; ++i) m = m * 10 + uint64_t(digits[i] - '0');
    return sign * nearest(v, roughly(m, v.e10 + nd - lead));
}

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
    return slowvalue(p, s);
}
