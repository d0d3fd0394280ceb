// Feeds arbitrary texts to the kit's word, field, search and cutting
// functions. Every pool result must hold at most 255 characters and every
// pointer into the argument must stay inside it; AddressSanitizer sees any
// read past the argument's terminator (the argument is an exact-size copy).
// Input: u8 n, u8 start, u8 separator, then the text (up to a NUL) and a
// pattern (the rest, up to a NUL).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "kit.h"

namespace {

void inpool(const char* r) {
    if (strlen(r) > cbufferlen - 1) abort();
}

void inside(const char* r, const char* text) {
    size_t n = strlen(text);
    if (r < text || r > text + n) abort();
}

// The same cuts made plainly with std::string, as the kit's rules word them.
std::string cut(const std::string& s) { return s.substr(0, cbufferlen - 1); }

std::string plainword(const std::string& text, int n) {
    size_t i = 0;
    for (int k = 1;; ++k) {
        while (i < text.size() && text[i] == ' ') ++i;
        size_t e = i;
        while (e < text.size() && text[e] != ' ') ++e;
        if (k == n || i == text.size()) return n < 1 ? "" : cut(text.substr(i, e - i));
        i = e;
    }
}

std::string plainfield(const std::string& text, int n, const std::string& sep) {
    if (n < 1 || sep.empty()) return "";
    size_t start = 0;
    for (int i = 1; i < n; ++i) {
        size_t at = text.find(sep, start);
        if (at == std::string::npos) return "";
        start = at + sep.size();
    }
    size_t at = text.find(sep, start);
    return cut(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
}

void same(const char* r, const std::string& expected) {
    if (expected != r) abort();
}

char* exactcopy(const uint8_t* p, size_t n) {
    char* s = static_cast<char*>(malloc(n + 1));
    memcpy(s, p, n);
    s[n] = 0;
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    int n = int(int8_t(data[0]));
    int start = int(int8_t(data[1]));
    char sep = char(data[2]);
    const uint8_t* p = data + 3;
    const uint8_t* end = data + size;
    const uint8_t* z = static_cast<const uint8_t*>(memchr(p, 0, size_t(end - p)));
    char* text = exactcopy(p, size_t((z ? z : end) - p));
    p = z ? z + 1 : end;
    z = static_cast<const uint8_t*>(memchr(p, 0, size_t(end - p)));
    char* pattern = exactcopy(p, size_t((z ? z : end) - p));

    inpool(firstwordc$(text));
    const char* next = nextwordc$(text);
    inside(next, text);
    // Walking the words as the drawing walks a texture list must end.
    int words = 0;
    for (const char* w = text; *firstwordc$(w); w = nextwordc$(w)) {
        inside(w, text);
        if (++words > int(strlen(text))) abort();
    }
    same(wordc$(text, n), plainword(text, n));
    same(wordc$(text, n, pattern), plainfield(text, n, pattern));
    same(wordc$(text, n, sep), plainfield(text, n, std::string(sep ? 1 : 0, sep)));
    same(wordc$(text, start, "/"), plainfield(text, start, "/"));
    same(firstwordc$(next), plainword(text, 2));

    int at = instr(text, pattern, start);
    if (at < 0 || at > int(strlen(text)) + 1) abort();
    if (const char* r = instr$(text, pattern, start)) inside(r, text);
    if (const char* r = instr$(text, sep, start)) inside(r, text);
    at = instr(text, sep);
    if (at < 0 || at > int(strlen(text)) + 1) abort();

    inpool(leftc$(text, n));
    inpool(rightc$(text, n));
    inpool(midc$(text, start, n));
    inpool(trimc$(text));
    inpool(lowerc$(text));
    inpool(upperc$(text));
    for (const char* r : {instrrev$(text, pattern), instrrev$(text, sep)})
        if (r != text) inpool(r);
    inpool(strc$(text, pattern, text));
    inpool(spacec$(n, pattern));

    char$ a = chr$(text);
    char$ b;
    b = pattern;
    inpool(a + pattern);
    (void)(a == b);

    free(text);
    free(pattern);
    return 0;
}
