// One line of the number corpus as the word it stands for: \t \n \v \f \r
// \\ and \xNN (two hex digits) are escapes, everything else stands for
// itself.
#ifndef TESTS_NUMBERS_CORPUS_WORD_H
#define TESTS_NUMBERS_CORPUS_WORD_H

#include <string>

inline std::string unescapeword(const std::string& line) {
    std::string w;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (c != '\\' || i + 1 >= line.size()) {
            w += c;
            continue;
        }
        char k = line[++i];
        switch (k) {
        case 't': w += '\t'; break;
        case 'n': w += '\n'; break;
        case 'v': w += '\v'; break;
        case 'f': w += '\f'; break;
        case 'r': w += '\r'; break;
        case 'x':
            if (i + 2 < line.size()) {
                w += char(std::stoi(line.substr(i + 1, 2), nullptr, 16));
                i += 2;
            }
            break;
        default: w += k;
        }
    }
    return w;
}

#endif
