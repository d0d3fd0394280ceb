// What a number word must read as, worked out apart from kestrin: the
// longest prefix that fits the Windows runtime's atof grammar, found with a
// plain scan, converted by glibc's strtod (correctly rounded) after a d or D
// exponent mark is spelled e. No digits: +0.
#ifndef TESTS_KESTRIN_NUMBER_REFERENCE_H
#define TESTS_KESTRIN_NUMBER_REFERENCE_H

#include <cctype>
#include <cstdlib>
#include <string>

inline double atofreference(const std::string& word) {
    size_t i = 0, n = word.size();
    auto isdigit_ = [&](size_t k) { return k < n && word[k] >= '0' && word[k] <= '9'; };
    while (i < n && strchr(" \t\n\v\f\r", word[i]) && word[i]) ++i;
    std::string prefix;
    if (i < n && (word[i] == '+' || word[i] == '-')) prefix += word[i++];
    bool digits = false;
    while (isdigit_(i)) prefix += word[i++], digits = true;
    if (i < n && word[i] == '.') {
        prefix += word[i++];
        while (isdigit_(i)) prefix += word[i++], digits = true;
    }
    if (!digits) return 0.0;
    if (i < n && strchr("eEdD", word[i]) && word[i]) {
        size_t j = i + 1;
        std::string exponent = "e";
        if (j < n && (word[j] == '+' || word[j] == '-')) exponent += word[j++];
        if (isdigit_(j)) {
            while (isdigit_(j)) exponent += word[j++];
            prefix += exponent;
        }
    }
    return strtod(prefix.c_str(), nullptr);
}

#endif
