// kestrin's one way of reading decimal numbers, used by fval and dval and by
// the OBJ reader, so that a file gives the same bits on every build instead
// of whatever the C library of the build does with its words.
//
// The grammar is the Windows C runtime's atof: blanks (space, tab, line
// feed, vertical tab, form feed, carriage return), an optional sign, digits,
// optionally a point and more digits, and an optional exponent: e, E, d or
// D, an optional sign and digits (an exponent mark without digits is not
// part of the number). No hex, no inf or nan words: those read as the
// numeric prefix they start with, which is usually none.
//
// No digit at all (as in "-", "-.", "-x", "--1") gives +0. The value is the
// double nearest to the decimal (ties to even), whatever the FPU: too large
// gives infinity, too small zero.
#ifndef KESTRIN_NUMBERS_H
#define KESTRIN_NUMBERS_H

#include <cstdint>

// What the grammar finds at the start of a text.
struct decimalscan {
    const char* end;    // the first character after the number; the text's start when there is none
    bool found;         // at least one digit
    bool negative;
    bool exact;         // mantissa * 10^exp10 is the value (no nonzero digit beyond the 19th)
    uint64_t mantissa;  // the first 19 significant digits
    int64_t exp10;
};

// Scans [p, e): never looks at e or beyond.
void scandecimal(const char* p, const char* e, decimalscan& out);

// The number at the start of [p, e) as a correctly rounded double (+0 when
// there is none).
double decimalvalue(const char* p, const char* e);

#endif
