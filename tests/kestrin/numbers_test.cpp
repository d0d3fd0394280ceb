// The number grammar and its rounding: the forms the Windows runtime's atof
// takes, and every value bit for bit against glibc's correctly rounded
// strtod, on random words, on the exact midpoints between doubles and next
// to them, and on the corpus the Windows build is compared with.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "corpus_word.h"
#include "kit.h"
#include "number_reference.h"
#include "numbers.h"

namespace {

uint64_t bits(double d) {
    uint64_t u;
    memcpy(&u, &d, 8);
    return u;
}

// Compares dval, and fval as dval rounded to float, with the reference for
// every word; reports the first few that differ.
void expectsameasreference(const std::vector<std::string>& words) {
    int wrong = 0;
    for (const std::string& w : words) {
        double want = atofreference(w);
        double got = dval(w.c_str());
        float gotf = fval(w.c_str());
        if (bits(got) != bits(want) || bits(gotf) != bits(float(want))) {
            ADD_FAILURE() << "'" << w << "' reads as " << got << " (0x" << std::hex << bits(got) << "), wanted " << want
                          << " (0x" << bits(want) << ")";
            if (++wrong == 10) return;
        }
    }
}

// The exact decimal expansion of a long double (which holds the midpoint of
// any two neighbouring doubles exactly).
std::string exactdecimal(long double x) {
    std::vector<char> buf(1300);
    snprintf(buf.data(), buf.size(), "%.1100Le", x);
    std::string s = buf.data();
    size_t e = s.find('e');
    size_t last = s.find_last_not_of('0', e - 1);
    return s.substr(0, last + 1) + s.substr(e);
}

}  // namespace

TEST(Numbers, TheWindowsRuntimesGrammar) {
    const double inf = std::numeric_limits<double>::infinity();
    struct {
        const char* word;
        double value;
    } cases[] = {
        // A sign without digits, and words that are no number, read as +0.
        {"-x", 0.0}, {"--1", 0.0}, {"-e5", 0.0}, {"-.", 0.0}, {"-", 0.0}, {"+", 0.0}, {".", 0.0}, {"", 0.0},
        {"nan", 0.0}, {"-inf", 0.0}, {"infinity", 0.0}, {"NaN(1)", 0.0}, {"\x85" "7", 0.0}, {"e5", 0.0},
        // Zero keeps its sign.
        {"-0", -0.0}, {"-0.0e5", -0.0}, {"-.0", -0.0},
        // Hex stops at the x.
        {"0x10", 0.0}, {"-0x1p3", -0.0}, {"12x", 12.0},
        // Exponents: e or d in either case; a mark without digits is left out.
        {"1d2", 100.0}, {"1D-2", 0.01}, {"2E3x", 2000.0}, {"1e", 1.0}, {"1e+", 1.0}, {"1.5e-", 1.5}, {"5.e1", 50.0},
        {".5", 0.5}, {"+.5e+1", 5.0},
        // Blanks before the number, and whatever follows it.
        {" \t\n\v\f\r5", 5.0}, {"3\r\n", 3.0}, {"7/8", 7.0}, {"1,5", 1.0},
        // Rounding at the edges.
        {"9007199254740993", 9007199254740992.0},
        {"12345678901234567890", 12345678901234567890.0},
        {"1.7976931348623158e308", DBL_MAX}, {"1.7976931348623159e308", inf}, {"-1e400", -inf}, {"1e-400", 0.0},
        {"4.9e-324", std::numeric_limits<double>::denorm_min()}, {"2.4703282292062327e-324", 0.0},
        {"2.4703282292062328e-324", std::numeric_limits<double>::denorm_min()},
        {"2.2250738585072011e-308", 2.2250738585072011e-308}, {"0.1", 0.1}, {"0e999999999999999", 0.0},
        {"1e-99999999999999999999", 0.0}, {"1e99999999999999999999", inf},
    };
    for (auto& c : cases) {
        EXPECT_EQ(bits(dval(c.word)), bits(c.value)) << "'" << c.word << "' reads as " << dval(c.word);
        EXPECT_EQ(bits(double(fval(c.word))), bits(double(float(c.value)))) << c.word;
    }

    // Past the 800 digits kept, a nonzero digit still breaks a tie: 1 + 2^-53
    // lies halfway between 1 and the next double.
    std::string half = "1.00000000000000011102230246251565404236316680908203125";
    EXPECT_EQ(dval(half.c_str()), 1.0);
    std::string above = half + std::string(900, '0') + "1";
    EXPECT_EQ(dval(above.c_str()), std::nextafter(1.0, 2.0));
    // ... and zeros among the digits kept do not move the one that stands
    // for the rest: just below half the smallest double is 0.
    std::string belowhalf = "2.4703282292062327208828439643411068618252990130716238221279284125033775363510437593264"
                            "9918180817996189898282347722858865463328355177969898199387398005390939063150356595155702"
                            "2639229085839244910" + std::string(700, '0') + "1e-324";
    EXPECT_EQ(dval(belowhalf.c_str()), 0.0);
    std::string big = "1" + std::string(900, '0') + "e-900";
    EXPECT_EQ(dval(big.c_str()), 1.0);

    // The scan never reads past the end it is given.
    decimalscan s;
    const char text[] = "12.5e3";
    scandecimal(text, text + 4, s);
    EXPECT_TRUE(s.found);
    EXPECT_EQ(s.end, text + 4);
    EXPECT_EQ(decimalvalue(text, text + 4), 12.5);
    EXPECT_EQ(decimalvalue(text, text + 6), 12500.0);
}

TEST(Numbers, CorrectlyRoundedOnRandomWords) {
    std::mt19937_64 rng(151207);
    std::vector<std::string> words;
    for (int i = 0; i < 60000; ++i) {
        std::string w;
        if (rng() % 3 == 0) w += "+-"[rng() % 2];
        int n = 1 + int(rng() % (rng() % 4 == 0 ? 40 : 19));
        int point = int(rng() % (n + 2)) - 1;
        for (int k = 0; k < n; ++k) {
            if (k == point) w += '.';
            w += char('0' + rng() % 10);
        }
        int range = rng() % 4 == 0 ? 700 : 60;
        if (rng() % 2) w += "eEdD"[rng() % 4] + std::to_string(int(rng() % (range + 1)) - range / 2);
        words.push_back(w);
    }
    expectsameasreference(words);
}

TEST(Numbers, CorrectlyRoundedAtAndNextToMidpoints) {
    std::mt19937_64 rng(4242);
    std::vector<std::string> words;
    for (int i = 0; i < 3000; ++i) {
        // A random double: any exponent, subnormals included.
        uint64_t b = rng() & 0x7FEFFFFFFFFFFFFFull;
        if (i % 10 == 0) b &= 0x000FFFFFFFFFFFFFull;
        double x;
        memcpy(&x, &b, 8);
        long double mid = ((long double)x + (long double)std::nextafter(x, 1e308)) / 2;
        std::string m = exactdecimal(mid);
        size_t e = m.find('e');
        words.push_back(m);                                                  // a tie: to even
        words.push_back(m.substr(0, e) + "000000000001" + m.substr(e));      // just above
        words.push_back(m.substr(0, e - 1) + "49999999999999" + m.substr(e));  // just below
    }
    expectsameasreference(words);
}

// The words compared between the native and the Windows build read right here.
TEST(Numbers, TheCrossBuildCorpusReadsRight) {
    std::ifstream in(KESTRIN_NUMBER_CORPUS);
    ASSERT_TRUE(in) << KESTRIN_NUMBER_CORPUS;
    std::vector<std::string> words;
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#') words.push_back(unescapeword(line));
    EXPECT_GT(words.size(), 100u);
    expectsameasreference(words);
}
