// Prints, for every word of the number corpus, the bits of dval and fval
// and of the float the OBJ reader stores for it: the native and the
// Windows build must print the same (compare_builds.sh).
//   numbers_dump CORPUS SCRATCH.obj
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "corpus_word.h"
#include "kit.h"
#include "objtype.h"

namespace {

template <class T>
uint64_t bits(T v) {
    uint64_t u = 0;
    memcpy(&u, &v, sizeof v);
    return u;
}

// A word can stand in a vertex line when it holds nothing that splits or
// ends the line.
bool fitsaline(const std::string& w) {
    return !w.empty() && w.find_first_of(std::string(" \n\r\0", 4)) == std::string::npos;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: %s CORPUS SCRATCH.obj\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    std::vector<std::string> lines, words;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        lines.push_back(line);
        words.push_back(unescapeword(line));
    }

    // Every word that fits goes into one vertex line of its own.
    std::string obj;
    for (const std::string& w : words)
        if (fitsaline(w)) obj += "v " + w + " 0 0\n";
    FILE* f = fopen(argv[2], "wb");
    if (!f) return 1;
    fwrite(obj.data(), 1, obj.size(), f);
    fclose(f);
    obj_type* record = static_cast<obj_type*>(calloc(1, sizeof(obj_type)));
    int loaded = record ? Loadobj(record, argv[2]) : 0;
    remove(argv[2]);
    if (!loaded) return 1;

    int vertex = 0, expected = 0;
    for (const std::string& w : words) expected += fitsaline(w);
    if (record->nvertex != expected) {
        fprintf(stderr, "read %d vertices of %d\n", record->nvertex, expected);
        return 1;
    }
    for (size_t i = 0; i < words.size(); ++i) {
        const char* w = words[i].c_str();
        char read[24] = "-";
        if (fitsaline(words[i])) snprintf(read, sizeof read, "%08" PRIx64, bits(record->vertex[++vertex][0]));
        printf("%-24s dval %016" PRIx64 " fval %08" PRIx64 " obj %s\n", lines[i].c_str(), bits(dval(w)), bits(fval(w)), read);
    }
    free(record);
    return 0;
}
