// "tolvane.ini": six camera integers and the model path, one per line,
// read from the working directory at start-up and written at exit.
#include "viewer.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char* const settingsfile = "tolvane.ini";

bool isblank(char c) { return c == ' ' || c == '\t'; }

// The most of a line that is kept: far more than a number or the model
// path (cut to 255 characters) needs, with room for blanks around them. The
// rest of a longer line is read past, not stored, so a hostile file costs
// no memory.
const size_t kSettingsLineMax = 1024;

// One line without its end (its first kSettingsLineMax characters); false
// at the end of the file. A CR LF, a lone LF or a lone CR ends a line, so
// files edited anywhere read the same.
bool readline(FILE* file, std::string& line) {
    line.clear();
    int c = std::fgetc(file);
    if (c == EOF) return false;
    while (c != EOF && c != '\n' && c != '\r') {
        if (line.size() < kSettingsLineMax) line.push_back(static_cast<char>(c));
        c = std::fgetc(file);
    }
    if (c == '\r') {
        int next = std::fgetc(file);
        if (next != '\n' && next != EOF) std::ungetc(next, file);
    }
    return true;
}

std::string trimmed(const std::string& text) {
    size_t first = 0, last = text.size();
    while (first < last && isblank(text[first])) ++first;
    while (last > first && isblank(text[last - 1])) --last;
    return text.substr(first, last - first);
}

}  // namespace

// Only plain decimal numbers count (sign, digits, point, digits, exponent):
// words such as "inf", "nan" or hex forms read as 0, and values beyond the
// integer range stop at its ends rather than wrapping.
int settingsinteger(const std::string& line) {
    size_t i = 0;
    while (i < line.size() && isblank(line[i])) ++i;
    size_t start = i;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) ++i;
    size_t digits = 0;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9') ++i, ++digits;
    if (i < line.size() && line[i] == '.') {
        ++i;
        while (i < line.size() && line[i] >= '0' && line[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < line.size() && (line[i] == 'e' || line[i] == 'E')) {
        size_t mark = i++;
        if (i < line.size() && (line[i] == '+' || line[i] == '-')) ++i;
        size_t expdigits = 0;
        while (i < line.size() && line[i] >= '0' && line[i] <= '9') ++i, ++expdigits;
        if (expdigits == 0) i = mark;
    }
    double value = std::strtod(line.substr(start, i - start).c_str(), nullptr);
    value = std::nearbyint(value);   // the default rounding: halves to even
    if (!(value > INT_MIN)) return INT_MIN;
    if (!(value < INT_MAX)) return INT_MAX;
    return static_cast<int>(value);
}

void setobjectfile(const std::string& path) {
    size_t n = path.size() < 255 ? path.size() : 255;
    std::memcpy(viewer.objectfile, path.data(), n);
    viewer.objectfile[n] = '\0';
}

void readsettings() {
    int* values[] = {&viewer.dx, &viewer.dy, &viewer.dz, &viewer.o1, &viewer.o2, &viewer.o3};
    for (int* v : values) *v = 0;
    setobjectfile("");
    FILE* file = std::fopen(settingsfile, "rb");
    if (!file) return;
    std::string line;
    for (int* v : values)
        if (readline(file, line)) *v = settingsinteger(line);
    if (readline(file, line)) setobjectfile(trimmed(line));
    std::fclose(file);
}

void writesettings() {
    FILE* file = std::fopen(settingsfile, "wb");
    if (!file) return;
    for (int v : {viewer.dx, viewer.dy, viewer.dz, viewer.o1, viewer.o2, viewer.o3})
        std::fprintf(file, v < 0 ? "%d\r\n" : " %d\r\n", v);
    std::fprintf(file, "%s\r\n", viewer.objectfile);
    std::fclose(file);
}
