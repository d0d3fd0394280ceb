// The text and file kit. Every text result is built in a pool buffer and cut
// to 255 characters; nothing here allocates.
#include "kit.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "numbers.h"
#include "platform.h"

kitstate kit = {{{0}}, 0};
char (&cbuffer$)[icbuffermax][cbufferlen] = kit.buffers;
int& icbuffer = kit.last;

namespace {

const int maxtext = cbufferlen - 1;

char emptytext[1] = {0};  // shared empty result that takes no pool buffer
char yestext[] = "yes";
char notext[] = "no";

size_t cut(size_t n) { return n > size_t(maxtext) ? size_t(maxtext) : n; }

// Pool copy of n bytes of src (cut to 255). memmove: src may be an older
// pool result, even the buffer being handed out again.
char* pooled(const char* src, size_t n) {
    char* out = icbuffer$();
    n = cut(n);
    memmove(out, src, n);
    out[n] = 0;
    return out;
}

// Joins up to four texts into a pool buffer; built aside first because an
// argument may live in the buffer about to be reused.
char* joined(const char* const* parts, int count) {
    char tmp[cbufferlen];
    size_t used = 0;
    for (int i = 0; i < count && used < size_t(maxtext); ++i) {
        size_t n = strlen(parts[i]);
        if (n > size_t(maxtext) - used) n = size_t(maxtext) - used;
        memcpy(tmp + used, parts[i], n);
        used += n;
    }
    return pooled(tmp, used);
}

void out(const char* text) { fputs(text, stdout); }

}  // namespace

char* icbuffer$() {
    kit.last = kit.last + 1;
    if (kit.last >= icbuffermax) kit.last = 1;
    return kit.buffers[kit.last];
}

// ---- char$ ------------------------------------------------------------------

char$& char$::operator=(const char* text) {
    size_t n = cut(strlen(text));
    memmove(s, text, n);  // text may point into this object
    s[n] = 0;
    return *this;
}

char$ char$::operator+(const char* text) const {
    char$ r;
    size_t a = cut(strlen(s));
    size_t b = strlen(text);
    if (b > size_t(maxtext) - a) b = size_t(maxtext) - a;
    memcpy(r.s, s, a);
    memcpy(r.s + a, text, b);
    r.s[a + b] = 0;
    return r;
}

bool char$::operator==(const char$& other) const { return strcmp(s, other.s) == 0; }
bool char$::operator!=(const char$& other) const { return strcmp(s, other.s) != 0; }
bool char$::operator==(const char* text) const { return strcmp(s, text) == 0; }
bool char$::operator!=(const char* text) const { return strcmp(s, text) != 0; }

char$ chr$(const char* text) {
    char$ r;
    r = text;
    return r;
}

// ---- numbers and timing -----------------------------------------------------

int min(int a, int b) { return b < a ? b : a; }
int max(int a, int b) { return b > a ? b : a; }
float min(float a, float b) { return b >= a ? a : b; }
float max(float a, float b) { return a >= b ? a : b; }

void wait(int ms) {
    if (ms < 0) ms = 0;
    if (ms > 20000) ms = 20000;
    kestrinsleep(ms);
}

double rnd(int n) { return double(int64_t(rand() % 32768) * n) / 32767.0; }
double rnd(double x) { return (rand() % 32768) * x / 32767.0; }

double time() { return double(clock()) * 1000.0 / double(CLOCKS_PER_SEC); }

// ---- dialogs ----------------------------------------------------------------

// Every box of the library passes the hook of the platform layer; a host (a
// test) may record them instead of showing them (kestrinsetboxhook).
void notice(const char* text) { kestrinbox(text, "notice", KESTRIN_MB_OK | KESTRIN_MB_ICONINFORMATION); }

void confirm(const char* text, char*& answer) {
    int pressed = kestrinbox(text, "confirm", KESTRIN_MB_YESNO);
    answer = pressed == KESTRIN_IDYES ? yestext : notext;
}

// ---- text results -----------------------------------------------------------

int len(const char* text) { return int(strlen(text)); }

char* str$(int v) {
    char* o = icbuffer$();
    snprintf(o, cbufferlen, "%d", v);
    return o;
}
char* str$(long v) {
    char* o = icbuffer$();
    snprintf(o, cbufferlen, "%ld", v);
    return o;
}
char* str$(unsigned v) {
    char* o = icbuffer$();
    snprintf(o, cbufferlen, "%u", v);
    return o;
}
char* str$(float v) { return str$(double(v)); }
char* str$(double v) {
    char* o = icbuffer$();
    snprintf(o, cbufferlen, "%f", v);
    return o;
}
char* str$(char c) { return pooled(&c, 1); }
char* chr$(int code) {
    char c = char(code & 0xFF);
    return pooled(&c, 1);
}

int asc(const char* text) { return int(static_cast<signed char>(text[0])); }
int asc(char c) { return int(static_cast<signed char>(c)); }

char* strc$(const char* a) { return pooled(a, strlen(a)); }
char* strc$(const char* a, const char* b) {
    const char* p[] = {a, b};
    return joined(p, 2);
}
char* strc$(const char* a, const char* b, const char* c) {
    const char* p[] = {a, b, c};
    return joined(p, 3);
}
char* strc$(const char* a, const char* b, const char* c, const char* d) {
    const char* p[] = {a, b, c, d};
    return joined(p, 4);
}

char* leftc$(const char* text, int n) {
    if (n < 0) n = 0;
    size_t l = strlen(text);
    return pooled(text, size_t(n) < l ? size_t(n) : l);
}

char* rightc$(const char* text, int n) {
    if (n < 0) n = 0;
    size_t l = strlen(text);
    size_t k = size_t(n) < l ? size_t(n) : l;
    return pooled(text + l - k, k);
}

char* midc$(const char* text, int start, int n) {
    if (start < 1) start = 1;
    if (n < 0) n = 0;
    size_t l = strlen(text);
    if (size_t(start) > l) return pooled(text, 0);
    size_t rest = l - (size_t(start) - 1);
    return pooled(text + start - 1, size_t(n) < rest ? size_t(n) : rest);
}

char* spacec$(int n) { return spacec$(n, ' '); }

char* spacec$(int n, char c) {
    char* o = icbuffer$();
    if (n < 0) n = 0;
    if (n > maxtext) n = maxtext;
    memset(o, c, size_t(n));
    o[n] = 0;
    return o;
}

char* spacec$(int n, const char* text) { return spacec$(n, text[0]); }

char* trimc$(const char* text) {
    int i = 0;
    while (text[i] == ' ') ++i;
    int j = len(text) - 1;
    while (j >= i && text[j] == ' ') --j;
    return midc$(text, i + 1, j - i + 1);
}

char* lowerc$(const char* text) {
    char* o = strc$(text);
    for (char* p = o; *p; ++p) *p = char(tolower(static_cast<unsigned char>(*p)));
    return o;
}

char* upperc$(const char* text) {
    char* o = strc$(text);
    for (char* p = o; *p; ++p) *p = char(toupper(static_cast<unsigned char>(*p)));
    return o;
}

char* instrrev$(const char* text, const char* pattern) { return instrrev$(text, pattern[0]); }

char* instrrev$(const char* text, char c) {
    const char* at = c ? strrchr(text, c) : nullptr;
    if (!at) return const_cast<char*>(text);
    return strc$(at + 1);
}

// ---- words and fields -------------------------------------------------------

namespace {

const char* skipspaces(const char* p) {
    while (*p == ' ') ++p;
    return p;
}

const char* skipword(const char* p) {
    while (*p && *p != ' ') ++p;
    return p;
}

// Field n of text cut at sep (sepn bytes long, at least 1).
char* field(const char* text, int n, const char* sep, size_t sepn) {
    if (n < 1 || sepn == 0) return emptytext;
    const char* start = text;
    for (int i = 1; i < n; ++i) {
        const char* next = sepn == 1 ? strchr(start, sep[0]) : strstr(start, sep);
        if (!next) return emptytext;  // fewer than n fields
        start = next + sepn;
    }
    const char* end = sepn == 1 ? strchr(start, sep[0]) : strstr(start, sep);
    return pooled(start, end ? size_t(end - start) : strlen(start));
}

}  // namespace

char* firstwordc$(const char* text) { return wordc$(text, 1); }

char* nextwordc$(const char* text) {
    return const_cast<char*>(skipspaces(skipword(skipspaces(text))));
}

char* wordc$(const char* text, int n) {
    if (n < 1) return emptytext;
    const char* p = skipspaces(text);
    for (int i = 1; i < n && *p; ++i) p = skipspaces(skipword(p));
    const char* start = p;
    return pooled(start, size_t(skipword(p) - start));
}

char* wordc$(const char* text, int n, const char* separator) {
    return field(text, n, separator, strlen(separator));
}

char* wordc$(const char* text, int n, char separator) {
    char sep[2] = {separator, 0};
    return field(text, n, sep, separator ? 1 : 0);
}

// ---- searches ---------------------------------------------------------------

namespace {

const char* from(const char* text, int start) {
    int l = len(text);
    if (l == 0) return text;
    if (start < 1) start = 1;
    if (start > l) start = l;
    return text + start - 1;
}

int position(const char* text, const char* found) { return found ? int(found - text) + 1 : 0; }

}  // namespace

char* instr$(const char* text, const char* pattern) { return const_cast<char*>(strstr(text, pattern)); }
char* instr$(const char* text, const char* pattern, int start) { return instr$(from(text, start), pattern); }
char* instr$(const char* text, char c) { return c ? const_cast<char*>(strchr(text, c)) : nullptr; }
char* instr$(const char* text, char c, int start) { return instr$(from(text, start), c); }
int instr(const char* text, const char* pattern) { return position(text, instr$(text, pattern)); }
int instr(const char* text, const char* pattern, int start) { return position(text, instr$(text, pattern, start)); }
int instr(const char* text, char c) { return position(text, instr$(text, c)); }
int instr(const char* text, char c, int start) { return position(text, instr$(text, c, start)); }

// ---- numbers from text ------------------------------------------------------

int val(const char* text) {
    // strtoll saturates at its own limits; int is narrower on every system.
    long long v = strtoll(text, nullptr, 10);
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return int(v);
}

int ival(const char* text) { return val(text); }

long lval(const char* text) { return strtol(text, nullptr, 10); }

float fval(const char* text) { return float(dval(text)); }

double dval(const char* text) { return decimalvalue(text, text + strlen(text)); }

// ---- console output ---------------------------------------------------------

void print() {}
void print(const char* a) { out(a); }
void print(const char* a, const char* b) { out(a), out(b); }
void print(const char* a, const char* b, const char* c) { out(a), out(b), out(c); }
void print(const char* a, const char* b, const char* c, const char* d) { out(a), out(b), out(c), out(d); }
void println() { out("\n"); }
void println(const char* a) { print(a), println(); }
void println(const char* a, const char* b) { print(a, b), println(); }
void println(const char* a, const char* b, const char* c) { print(a, b, c), println(); }
void println(const char* a, const char* b, const char* c, const char* d) { print(a, b, c, d), println(); }

// ---- files ------------------------------------------------------------------

FILE* open(const char* name, const char* mode) {
    char m[16];
    size_t n = strlen(mode);
    if (n > sizeof m - 2) n = sizeof m - 2;
    memcpy(m, mode, n);
    m[n] = 0;
    if (!memchr(m, 'b', n)) m[n] = 'b', m[n + 1] = 0;
    FILE* f = fopen(name, m);
    if (!f) notice(strc$("error open file \r", name));
    return f;
}

FILE* open(const char* name) { return open(name, "r"); }

char* input$(FILE* stream, int n) {
    char* o = icbuffer$();
    o[0] = 0;
    if (!stream) return o;
    if (n > cbufferlen) n = cbufferlen;
    if (n < 1) n = 1;
    int used = 0;
    while (used < n - 1) {
        int c = getc(stream);
        if (c == EOF) break;
        if (c == '\r') {
            int c2 = getc(stream);
            if (c2 == '\n') c = '\n';
            else if (c2 != EOF) ungetc(c2, stream);
        }
        o[used++] = char(c);
        if (c == '\n') break;
    }
    o[used] = 0;
    return o;
}

char* input$(FILE* stream) { return input$(stream, cbufferlen); }

int eof(FILE* stream) { return stream ? feof(stream) : 1; }
int error(FILE* stream) { return stream ? ferror(stream) : 1; }

void close(FILE* stream) {
    if (stream) fclose(stream);
}
