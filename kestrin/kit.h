// kestrin's text and file kit: free functions over zero-terminated 8-bit
// texts, plus the fixed 256-byte string class char$.
//
// Text results live in a shared pool of fixed buffers, so calls nest freely
// and nothing is ever allocated or freed. A result stays valid while at most
// 18 further pool results are produced (19 buffers rotate); keep anything
// longer-lived in a char$. Every pool result holds at most 255 characters.
//
// Not thread-safe: one thread at a time.
//
// Deliberately includes no header that declares the POSIX/C names open,
// close, wait, time or error: the kit's functions of those names are
// overloads with different argument types.
#ifndef KESTRIN_KIT_H
#define KESTRIN_KIT_H

#include <cstdio>

// ---- result pool ------------------------------------------------------------

enum { icbuffermax = 20, cbufferlen = 256 };

// The kit's process-wide state, all of it: the result pool. It lives as
// long as the library and is never cleared. Not reentrant: plain memory
// without locks, so the kit (and everything built on it: the reader, the
// drawing, the entry points) runs on one thread at a time. The library's
// switches test and size are the entry points' (objtype.h).
struct kitstate {
    char buffers[icbuffermax][cbufferlen];
    int last;  // number of the buffer handed out last (0 before the first)
};
extern kitstate kit;

// The pool under the names its callers have always used.
extern char (&cbuffer$)[icbuffermax][cbufferlen];
extern int& icbuffer;

// Next pool buffer: 1, 2, ..., 19, 1, ... (buffer 0 is never handed out).
char* icbuffer$();

// ---- char$ ------------------------------------------------------------------

// Exactly one 256-byte array holding a zero-terminated text of at most 255
// characters. Copied by value; no constructor or destructor, so records made
// of char$ fields can be calloc'ed and memcmp'ed.
class char$ {
public:
    char s[cbufferlen];

    operator char*() { return s; }
    operator const char*() const { return s; }
    char$& operator=(const char* text);  // cut to 255 characters
    char$& operator=(const char$& other) = default;  // trivially copyable
    char$ operator+(const char* text) const;  // cut to 255 characters
    bool operator==(const char$& other) const;
    bool operator!=(const char$& other) const;
    // Text comparison with a plain text; without these `a == "x"` would
    // silently compare pointers through the conversion above.
    bool operator==(const char* text) const;
    bool operator!=(const char* text) const;
};

static_assert(sizeof(char$) == 256, "char$ is exactly its 256-byte array");

// A char$ holding a copy of the text (for comparisons with == and !=).
char$ chr$(const char* text);

// ---- numbers and timing -----------------------------------------------------

int min(int a, int b);      // on equality a
int max(int a, int b);      // on equality a
float min(float a, float b);  // a when b >= a, else b (also b when unordered)
float max(float a, float b);  // a when a >= b, else b (also b when unordered)

void wait(int ms);  // sleeps, clamped to 0..20000 ms

// rand() taken modulo 32768 so both systems give the same range 0..n;
// the product is formed in 64 bits so no n overflows.
double rnd(int n);
double rnd(double x);

double time();  // processor clock in milliseconds

// ---- dialogs (through the platform's box hook) ------------------------------

void notice(const char* text);                  // title "notice", OK
void confirm(const char* text, char*& answer);  // title "confirm", Yes/No; answer "yes" or "no"

// ---- text results in the pool -----------------------------------------------

int len(const char* text);

char* str$(int v);       // "%d"
char* str$(long v);      // "%ld"
char* str$(unsigned v);  // "%u"
char* str$(float v);     // "%f"
char* str$(double v);    // "%f"
char* str$(char c);      // one-character text
char* chr$(int code);    // one-character text of the low byte of code

int asc(const char* text);  // first character as signed char widened to int
int asc(char c);

char* strc$(const char* a);
char* strc$(const char* a, const char* b);
char* strc$(const char* a, const char* b, const char* c);
char* strc$(const char* a, const char* b, const char* c, const char* d);

char* leftc$(const char* text, int n);
char* rightc$(const char* text, int n);
// n characters from the 1-based start; start < 1 counts as 1, n < 0 as 0;
// a start beyond the end gives the empty text.
char* midc$(const char* text, int start, int n);

char* spacec$(int n);
char* spacec$(int n, char c);
char* spacec$(int n, const char* text);  // n copies of the text's first character

char* trimc$(const char* text);  // only the space character is trimmed
char* lowerc$(const char* text);
char* upperc$(const char* text);

// Text after the last occurrence of the pattern's first character, as a pool
// copy; when it does not occur (or the pattern is empty) the argument itself.
char* instrrev$(const char* text, const char* pattern);
char* instrrev$(const char* text, char c);

// ---- words and fields -------------------------------------------------------
// Spaces are the only blanks; a run of spaces is one separator; leading
// spaces are skipped. Tabs and line feeds are ordinary characters.

char* firstwordc$(const char* text);  // pool copy of the first word ("" if none)
// Pointer into the argument at the second word (or its terminator); no copy.
char* nextwordc$(const char* text);
char* wordc$(const char* text, int n);  // word n, 1-based
// Field n when the text is cut at every occurrence of the separator; empty
// fields count ("7//3" cut at "/" is "7", "", "3").
char* wordc$(const char* text, int n, const char* separator);
char* wordc$(const char* text, int n, char separator);

// ---- searches (no copies) ---------------------------------------------------
// start is 1-based and clamped to 1..length. instr gives the 1-based position
// of what instr$ finds, 0 for nothing. Searching for the character '\0' finds
// nothing.

char* instr$(const char* text, const char* pattern);
char* instr$(const char* text, const char* pattern, int start);
char* instr$(const char* text, char c);
char* instr$(const char* text, char c, int start);
int instr(const char* text, const char* pattern);
int instr(const char* text, const char* pattern, int start);
int instr(const char* text, char c);
int instr(const char* text, char c, int start);

// ---- numbers from text ------------------------------------------------------
// Leading whitespace, sign, digits (and for the floating forms a decimal
// point and exponent); no number gives 0.
//
// The integer forms parse with strtol and saturate at the limits of their
// type (so "99999999999" is INT_MAX on every system). The floating forms
// read the Windows runtime's atof grammar with kestrin's own conversion
// (numbers.h), the same bits on every build: no hex, inf or nan; a sign
// without digits is +0. fval rounds dval's double to float.

int val(const char* text);
int ival(const char* text);
long lval(const char* text);
float fval(const char* text);
double dval(const char* text);

// ---- console output ---------------------------------------------------------

void print();
void print(const char* a);
void print(const char* a, const char* b);
void print(const char* a, const char* b, const char* c);
void print(const char* a, const char* b, const char* c, const char* d);
void println();
void println(const char* a);
void println(const char* a, const char* b);
void println(const char* a, const char* b, const char* c);
void println(const char* a, const char* b, const char* c, const char* d);

// ---- files ------------------------------------------------------------------
// Files read the same on Windows and Linux:
// - open always opens in binary mode (a "b" is added to the mode when
//   missing), so the runtime never translates anything;
// - input$ reads byte by byte and folds a CR immediately followed by LF into
//   one LF; a lone CR stays as it is. No Ctrl-Z handling.
// input$(stream, n) then behaves like fgets on the folded bytes: it stops
// after the LF, at the end of the file, or after n-1 characters, whichever
// comes first; a longer line comes back in pieces. A CR LF pair counts as one
// character and is never split between two calls. Bytes are stored as read,
// so a NUL byte ends the returned text early (the rest of that piece is
// lost, as with fgets). At the end of the file the result is the empty text.
// eof is set once a read has hit the end of the file: after a line without
// final LF, or after the call that returns the empty text.
// A null stream reads as the empty text, and eof/error report it as nonzero.

FILE* open(const char* name, const char* mode);  // notice "error open file \r<name>" on failure
FILE* open(const char* name);                    // open(name, "r")
char* input$(FILE* stream, int n);               // n is clamped to 1..256
char* input$(FILE* stream);                      // input$(stream, 256)
int eof(FILE* stream);
int error(FILE* stream);
void close(FILE* stream);  // a null stream is ignored

#endif
