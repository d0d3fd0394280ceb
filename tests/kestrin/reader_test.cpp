// The OBJ reader: the worked examples, the mended relative indices, and the
// fast reader checked record for record against the plain line reader on
// tricky and on generated files.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "kestrin.h"
#include "number_reference.h"
#include "objtype.h"
#include "reference_reader.h"
#include "temp_folder.h"

using namespace std::string_literals;

namespace {

// ---- fixtures ---------------------------------------------------------------

std::vector<std::string>& boxes() {
    static std::vector<std::string> b;
    return b;
}

int recordbox(const char* text, const char* title, unsigned) {
    boxes().push_back(std::string(title) + "|" + text);
    return 1;
}

// One folder for the whole run, removed when the program ends.
std::string tempdir() {
    static TempFolder folder("kestrin-reader");
    return folder.dir();
}

std::string writefile(const std::string& name, const std::string& bytes) {
    std::string path = tempdir() + "/" + name;
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) abort();
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
    return path;
}

// A zero-filled record, as the entry points create one.
struct Record {
    obj_type* o = static_cast<obj_type*>(calloc(1, sizeof(obj_type)));
    ~Record() { free(o); }
    obj_type* operator->() { return o; }
};

uint32_t bits(float f) {
    uint32_t u;
    memcpy(&u, &f, 4);
    return u;
}

// The fields that differ between two records, in words, at most a few.
std::string differences(const obj_type& a, const obj_type& b) {
    std::ostringstream out;
    int shown = 0;
    auto note = [&](const std::string& s) {
        if (shown++ < 8) out << "  " << s << "\n";
    };
    auto num = [](long long v) { return std::to_string(v); };
    if (memcmp(&a.prefix, &b.prefix, sizeof a.prefix))
        note("prefix '" + std::string(a.prefix.s) + "' vs '" + b.prefix.s + "'");
    if (a.nvertex != b.nvertex) note("nvertex " + num(a.nvertex) + " vs " + num(b.nvertex));
    if (a.nface != b.nface) note("nface " + num(a.nface) + " vs " + num(b.nface));
    if (a.ntexcoord != b.ntexcoord) note("ntexcoord " + num(a.ntexcoord) + " vs " + num(b.ntexcoord));
    if (a.nnormal != b.nnormal) note("nnormal " + num(a.nnormal) + " vs " + num(b.nnormal));
    for (int k = 0; k < OBJ_MATSLOTS; ++k) {
        if (memcmp(&a.matname[k], &b.matname[k], sizeof a.matname[k]))
            note("matname[" + num(k) + "] '" + a.matname[k].s + "' vs '" + b.matname[k].s + "'");
        if (a.matstart[k] != b.matstart[k])
            note("matstart[" + num(k) + "] " + num(a.matstart[k]) + " vs " + num(b.matstart[k]));
    }
    auto floats = [&](const char* what, const float* x, const float* y, int n, int i) {
        for (int j = 0; j < n; ++j)
            if (bits(x[j]) != bits(y[j])) {
                char s[160];
                snprintf(s, sizeof s, "%s[%d][%d] %.9g (0x%08" PRIx32 ") vs %.9g (0x%08" PRIx32 ")", what, i, j, x[j],
                         bits(x[j]), y[j], bits(y[j]));
                note(s);
            }
    };
    for (int i = 0; i < OBJ_SLOTS; ++i) {
        floats("vertex", a.vertex[i], b.vertex[i], 3, i);
        floats("texcoord", a.texcoord[i], b.texcoord[i], 2, i);
        floats("normal", a.normal[i], b.normal[i], 3, i);
        const face_type& f = a.face[i];
        const face_type& g = b.face[i];
        for (int j = 0; j < 4; ++j) {
            if (f.vi[j] != g.vi[j]) note("face[" + num(i) + "].vi[" + num(j) + "] " + num(f.vi[j]) + " vs " + num(g.vi[j]));
            if (f.ti[j] != g.ti[j]) note("face[" + num(i) + "].ti[" + num(j) + "] " + num(f.ti[j]) + " vs " + num(g.ti[j]));
            if (f.ni[j] != g.ni[j]) note("face[" + num(i) + "].ni[" + num(j) + "] " + num(f.ni[j]) + " vs " + num(g.ni[j]));
        }
    }
    if (shown > 8) out << "  ... " << shown - 8 << " more\n";
    return out.str();
}

// Reads the bytes with both readers into zero-filled records; they must agree
// on the result and on every byte of the record.
::testing::AssertionResult sameasreference(const std::string& bytes) {
    static obj_type* fast = static_cast<obj_type*>(malloc(sizeof(obj_type)));
    static obj_type* ref = static_cast<obj_type*>(malloc(sizeof(obj_type)));
    memset(fast, 0, sizeof(obj_type));
    memset(ref, 0, sizeof(obj_type));
    std::string path = writefile("case.obj", bytes);
    int rf = Loadobj(fast, &path[0]);
    int rr = refloadobj(ref, &path[0]);
    if (rf != rr) return ::testing::AssertionFailure() << "Loadobj returned " << rf << ", the line reader " << rr;
    if (memcmp(fast, ref, sizeof(obj_type)) == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "records differ (fast vs line reader):\n" << differences(*fast, *ref);
}

std::string load(Record& r, const std::string& bytes, const std::string& name = "model.obj") {
    std::string path = writefile(name, bytes);
    EXPECT_EQ(Loadobj(r.o, &path[0]), 1);
    return path;
}

void expectface(const face_type& f, std::vector<int> vi, std::vector<int> ti, int ni) {
    for (int j = 0; j < 4; ++j) {
        EXPECT_EQ(f.vi[j], vi[j]) << "vi[" << j << "]";
        EXPECT_EQ(f.ti[j], ti[j]) << "ti[" << j << "]";
    }
    EXPECT_EQ(f.ni[0], ni);
    EXPECT_EQ(f.ni[1] | f.ni[2] | f.ni[3], 0);
}

class Reader : public ::testing::Test {
protected:
    void SetUp() override {
        boxes().clear();
        previous = kestrinsetboxhook(recordbox);
        test = 0;
    }
    void TearDown() override {
        kestrinsetboxhook(previous);
        test = 0;
    }
    kestrin_box_hook previous = nullptr;
};

// ---- the worked examples ----------------------------------------------------

TEST_F(Reader, TriangleWithTexcoordAndNormal) {
    Record r;
    load(r, "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0.5 0.25\nvn 0 0 1\nf 1/1/1 2/1/1 3/1/1\n");
    EXPECT_EQ(r->nvertex, 3);
    EXPECT_EQ(r->ntexcoord, 1);
    EXPECT_EQ(r->nnormal, 1);
    EXPECT_EQ(r->nface, 1);
    expectface(r->face[1], {1, 2, 3, 0}, {1, 1, 1, 0}, 1);
    EXPECT_EQ(r->vertex[2][0], 1.0f);
    EXPECT_EQ(r->texcoord[1][0], 0.5f);
    EXPECT_EQ(r->texcoord[1][1], 0.25f);
    EXPECT_EQ(r->normal[1][2], 1.0f);
    EXPECT_EQ(r->matstart[0], 0);
    EXPECT_EQ(r->matstart[1], 1 + 999);
    EXPECT_TRUE(boxes().empty());
}

TEST_F(Reader, CornerForms) {
    Record r;
    load(r,
         "f 1 2 3 4\n"
         "f 1 2 3 4 5\n"
         "f 1//5 2//5 3//5\n"
         "f 1 2 3 \n"
         "f 7/8 9/10/11 12//13 14/15\n"
         "f 1 2 3\n");
    EXPECT_EQ(r->nface, 6);
    expectface(r->face[1], {1, 2, 3, 4}, {0, 0, 0, 0}, 0);
    expectface(r->face[2], {1, 2, 3, 4}, {0, 0, 0, 0}, 0);
    expectface(r->face[3], {1, 2, 3, 0}, {0, 0, 0, 0}, 5);
    expectface(r->face[4], {1, 2, 3, 0}, {0, 0, 0, 0}, 0);  // the blank leaves only the line feed
    expectface(r->face[5], {7, 9, 12, 14}, {8, 10, 0, 15}, 0);
    expectface(r->face[6], {1, 2, 3, 0}, {0, 0, 0, 0}, 0);
}

TEST_F(Reader, KeywordsAndSeparators) {
    Record r;
    load(r,
         "V 1 2 3\n"
         "  v 4 5 6\n"
         "v\t7 8 9\n"  // a tab joins the keyword to its number: no keyword
         "v 1\t2 3\n"  // ... and a tab inside the words keeps them one word
         "VN 0 0 1\n"
         "Vt 0.5 0.5 9\n"
         "vp 1 2\n# v 9 9 9\no x\ng y\ns 1\nmtllib a.mtl\n\n"
         "usemtl\n"  // a bare usemtl is ignored
         "v   -1.5   2e1 +3 99\n");
    EXPECT_EQ(r->nvertex, 4);
    EXPECT_EQ(r->vertex[1][2], 3.0f);
    EXPECT_EQ(r->vertex[2][0], 4.0f);
    EXPECT_EQ(r->vertex[3][0], 1.0f);
    EXPECT_EQ(r->vertex[3][1], 3.0f);
    EXPECT_EQ(r->vertex[3][2], 0.0f);
    EXPECT_EQ(r->vertex[4][0], -1.5f);
    EXPECT_EQ(r->vertex[4][1], 20.0f);
    EXPECT_EQ(r->vertex[4][2], 3.0f);
    EXPECT_EQ(r->nnormal, 1);
    EXPECT_EQ(r->ntexcoord, 1);
    EXPECT_EQ(r->matstart[1], 999);
}

TEST_F(Reader, Materials) {
    Record r;
    load(r, "f 1 2 3\nf 1 2 3\nusemtl skin more\r\nf 1 2 3\nusemtl Red\nusemtl a\rb\n");
    EXPECT_EQ(r->matname[0], "");
    EXPECT_EQ(r->matname[1], "skin");
    EXPECT_EQ(r->matstart[1], 2);
    EXPECT_EQ(r->matname[2], "Red");
    EXPECT_EQ(r->matstart[2], 3);
    EXPECT_EQ(r->matname[3], "a");
    EXPECT_EQ(r->matstart[3], 3);
    EXPECT_EQ(r->matstart[4], 3 + 999);
}

TEST_F(Reader, EmptyFile) {
    Record r;
    std::string path = load(r, "");
    EXPECT_EQ(r->nvertex | r->nface | r->ntexcoord | r->nnormal, 0);
    EXPECT_EQ(r->matstart[1], 999);
    EXPECT_EQ(r->prefix, path.substr(0, path.size() - 4).c_str());
}

TEST_F(Reader, Prefix) {
    struct {
        const char* name;
        const char* prefix;
    } cases[] = {
        {"C:\\dir\\model.obj", "model"}, {"model.obj", "model"}, {"dir/model.obj", "dir/model"},
        {"a.b", ""},                     {"C:\\models\\car body.obj", "car"},
    };
    for (auto& c : cases) {
        Record r;
        r->nvertex = 7;  // a failed open leaves the counts alone
        EXPECT_EQ(Loadobj(r.o, const_cast<char*>(c.name)), 0) << c.name;
        EXPECT_EQ(r->prefix, c.prefix) << c.name;
        EXPECT_EQ(r->nvertex, 7);
        EXPECT_EQ(r->matstart[1], 0);
    }
    ASSERT_EQ(boxes().size(), 5u);
    EXPECT_EQ(boxes()[0], "notice|error open file \rC:\\dir\\model.obj");

    // The debug notice shows the whole cut name, before the first-word cut.
    boxes().clear();
    test = 1;
    Record r;
    EXPECT_EQ(Loadobj(r.o, const_cast<char*>("C:\\models\\car body.obj")), 0);
    ASSERT_EQ(boxes().size(), 2u);
    EXPECT_EQ(boxes()[0], "notice|prefix$=car body");
}

TEST_F(Reader, CapacitiesOverwriteTheLastSlot) {
    std::string s;
    for (int i = 1; i <= OBJ_MAXELEMENTS + 4; ++i) {
        std::string n = std::to_string(i);
        s += "v " + n + " 0 0\nvt " + n + " 0\nvn " + n + " 0 0\nf " + n + " 2 3" + (i % 2 ? " 4/9" : "") + "\n";
    }
    for (int k = 1; k <= OBJ_MAXMATERIALS + 5; ++k) s += "usemtl m" + std::to_string(k) + "\nf 1/1/1 2 3\n";
    Record r;
    load(r, s);
    EXPECT_EQ(r->nvertex, OBJ_MAXELEMENTS);
    EXPECT_EQ(r->ntexcoord, OBJ_MAXELEMENTS);
    EXPECT_EQ(r->nnormal, OBJ_MAXELEMENTS);
    EXPECT_EQ(r->nface, OBJ_MAXELEMENTS);
    EXPECT_EQ(r->vertex[OBJ_MAXELEMENTS][0], float(OBJ_MAXELEMENTS + 4));
    EXPECT_EQ(r->texcoord[OBJ_MAXELEMENTS][0], float(OBJ_MAXELEMENTS + 4));
    // A triangle written over the quad in slot 99999 clears vi[3] but, like
    // the line reader, leaves the quad's ti[3].
    expectface(r->face[OBJ_MAXELEMENTS], {1, 2, 3, 0}, {1, 0, 0, 9}, 1);
    EXPECT_EQ(r->matname[OBJ_MAXMATERIALS], "m204");
    EXPECT_EQ(r->matstart[OBJ_MAXMATERIALS], OBJ_MAXELEMENTS + 999);  // the sentinel took the last slot
    EXPECT_EQ(r->matname[198], "m198");
    EXPECT_EQ(r->matstart[198], OBJ_MAXELEMENTS);
    EXPECT_TRUE(sameasreference(s));
}

// ---- indices: clamps and relative indices ----------------------------------

TEST_F(Reader, IndexClampsAndRelativeIndices) {
    Record r;
    load(r,
         "f -1 100005 99999999999 2147483648\n"  // nothing read yet: -1 reads slot 0
         "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\nvt 0 0\nvt 1 1\nvn 0 0 1\n"
         "f -1/-1/-1 -2/-2 -3/-3 -4\n"
         "f -4 -3 -2 -5\n"  // -5 lies before the first vertex: slot 0, so a triangle
         "f -99999999999/-3/-2 1/-2 2/2147483648\n"
         "v 5 5 5\n"
         "f -1 -2 -5 -6\n"
         "f -0 +2 \t-1\n");
    expectface(r->face[1], {0, 99999, 99999, 99999}, {0, 0, 0, 0}, 0);
    expectface(r->face[2], {4, 3, 2, 1}, {2, 1, 0, 0}, 1);
    expectface(r->face[3], {1, 2, 3, 0}, {0, 0, 0, 0}, 0);
    expectface(r->face[4], {0, 1, 2, 0}, {0, 1, 99999, 0}, 0);
    expectface(r->face[5], {5, 4, 1, 0}, {0, 0, 0, 0}, 0);
    expectface(r->face[6], {0, 2, 5, 0}, {0, 0, 0, 0}, 0);
    EXPECT_TRUE(sameasreference(
        "f -1\nv 1 1 1\nf -1/-1/-1 -1/1/1 1//-1\nvt 1 1\nvn 1 1 1\nf -1/-1/-1 -2/-2 -1//-1 -1/-1\n"));
}

// ---- numbers ----------------------------------------------------------------

// Every number reads as fval reads it, bit for bit, whatever its form: the
// reference's double rounded to float.
TEST_F(Reader, FloatsAreExact) {
    std::mt19937 rng(20261207);
    std::vector<std::string> words = {
        "1e3",       ".5",         "+2",      "-0",         "1.5e-45",     "0x10",      "inf",  "nan",
        "-inf",      "1e39",       "-1e-50",  "3.4028235e38", "3.4028236e38", "1e-7",   "5.",   "5.e2",
        "1.5e",      "2e+",        ".e1",     "-",          "+",           ".",         "0.",   "-.5",
        "1,5",       "12abc",      "0x1p-3",  "infinity",   "NaN",         "1E22",      "1e23", "9007199254740993",
        "123456789012345678901234", "0.000000000000000000000000001", "00000.000001", "7.038531e-26", "1e-22",
        "4.7019774e-38", "1.17549435e-38", "16777217", "16777219", "0.1", "0.2", "0.3", "-0.0e5", "0e999999999",
        "2.5e-324", "1e-400", "1e400", "99999999999999999999e-20", "1/2", "3\r", "\v4", "0000000000000000000000001",
        "1.00000000000000000000", "33554431.5", "8388608.5", "8388609.5", "-x", "--1", "-e5", "-.", "1d2", "1D-2",
        "-0.5d1", "2.5e", "1.0000000596046447753906250000000000000000001", "1.00000005960464477539062",
    };
    // Decimals that lie exactly halfway between two floats (ties go to even),
    // among them some whose quotient by a power of ten is easily misrounded.
    for (const char* w : {"849878.90625", "1021770.15625", "736908.78125", "-1017400.03125", "62256.994140625",
                          "61080.423828125", "16331.94287109375", "15361.81201171875"})
        words.push_back(w);
    for (int i = 0; i < 2000; ++i) {
        words.push_back(std::to_string(8388608 + i) + ".5");
        words.push_back(std::to_string(4194304 + 7 * i) + (i % 2 ? ".25" : ".75"));
        words.push_back("-" + std::to_string(2097152 + 13 * i) + ".125");
    }
    const char* digits = "0123456789";
    while (words.size() < 3 * OBJ_MAXELEMENTS) {
        std::string w;
        if (rng() % 3 == 0) w += "+-"[rng() % 2];
        int n = 1 + rng() % (rng() % 4 == 0 ? 22 : 9);
        int point = int(rng() % (n + 2)) - 1;
        for (int i = 0; i < n; ++i) {
            if (i == point) w += '.';
            w += digits[rng() % 10];
        }
        if (rng() % 3 == 0) w += "eE"[rng() % 2] + std::to_string(int(rng() % 100) - 50);
        words.push_back(w);
    }
    std::string s;
    for (size_t i = 0; i + 2 < words.size(); i += 3) s += "v " + words[i] + " " + words[i + 1] + " " + words[i + 2] + "\n";
    Record r;
    load(r, s);
    ASSERT_EQ(r->nvertex, OBJ_MAXELEMENTS);
    int wrong = 0;
    for (size_t i = 0; i + 2 < words.size() && wrong < 10; ++i) {
        float want = float(atofreference(words[i]));
        float got = r->vertex[1 + i / 3][i % 3];
        if (bits(got) != bits(want)) {
            ADD_FAILURE() << "'" << words[i] << "' read as " << got << ", wanted " << want;
            ++wrong;
        }
    }
}

// ---- the fast reader against the line reader --------------------------------

std::string pad(std::string head, size_t width, char fill = ' ') {
    if (head.size() < width) head.append(width - head.size(), fill);
    return head;
}

TEST_F(Reader, TrickyFilesMatchTheLineReader) {
    std::string nul = "v 1\0 2 3\nv 4 5 6\nf 1 2\0 3 4\nusemtl a\0b\n"s;
    std::vector<std::pair<const char*, std::string>> corpus = {
        {"tabs", "v\t1 2 3\nv 1\t2 3\nv 1 2\t3\nf\t1 2 3\nf 1\t2 3 4\nf 1 2 3\t4\nusemtl\ta\nusemtl a\tb\n"},
        {"crlf", "v 1 2 3\r\nv 4 5 6\r\nvt .5 .25\r\nvn 0 0 1\r\nusemtl red\r\nf 1/1/1 2/1 3/1\r\nf 1 2 3 \r\nusemtl\r\n"},
        {"lone cr", "v 1 2 3\rv 4 5 6\nusemtl a\rb\nf 1 2 3\r\rf 1 2 3\r"},
        {"missing words", "v\nv 1\nvt\nvn 1 2\nf\nf 1\nf 1 2\nf 1 2 3\nusemtl \nusemtl"},
        {"no final newline", "v 1 2 3\nf 1 2 3 4"},
        {"bare keywords at the end", "f 1 2 3\nusemtl"},
        {"empty", ""},
        {"blank lines", "\n\n\r\n   \n"},
        {"five corners", "f 1 2 3 4 5\nf 1/2/3 4/5/6 7/8/9 10/11/12 13/14/15\n"},
        {"trailing blank", "f 1 2 3 \nf 1 2 3  \nf 1/1 2/2 3/3 \n"},
        {"odd corners", "f 1/2/3/4 /5/ // ///\nf a/b/c -/+/- 1e3/0x10/.5\nf //7 2// 3/\n"},
        {"numbers", "v 1e3 .5 +2\nv -0 1.5e-45 0x10\nv inf nan -inf\nv 1e39 -1e-50 3.4028235e38\nv 1.5e 2e+ .e1\n"
                    "v - + .\nv 00000.000001 1E22 1e23\nv NaN(12) INFINITY 0x1p-3\nvt 1,5 12abc\nvn 7e-46 -7e-46 0e9\n"},
        {"capitals", "V 1 2 3\nVN 0 0 1\nVt 1 1\nvT 2 2\nF 1 2 3\nUSEMTL Skin\nUseMtl\tx\n"},
        {"big indices", "f 100005 0 -100000 99999\nf 99999999999 -99999999999 2147483648 -2147483649\n"},
        {"relative", "v 1 1 1\nv 2 2 2\nvt 1 1\nvn 0 1 0\nf -1/-1/-1 -2/-1 -3/-2 -1/-1\nf -2 -1 -1 -3\n"},
        {"nul bytes", nul},
        {"high bytes", "v \xff\xfe 1 2\n\xe9v 1 2 3\nusemtl \xc3\xa9t\xc3\xa9\n"},
        {"long comment", "# " + std::string(600, 'x') + "\nv 1 2 3\n"},
        {"line rest read as a line", pad("#", 255) + "v 7 8 9\n" + pad("#", 255, 'x') + "f 1 2 3\n"},
        {"split inside a number", pad("v 1 2", 250) + "123456789\n"},
        {"split after the keyword", pad("", 254) + "v 1 2 3\n" + pad("", 254) + "f 1 2 3\n"},
        {"split after the third corner", pad("f 1 2", 252) + "3 4\n"},
        {"split before the line feed", pad("v 1 2 3", 254) + "\n" + pad("v 4 5 6", 255) + "\nf 1 2 3\n"},
        {"split at cr lf", pad("v 1 2 3", 254) + "\r\n" + pad("v 4 5 6", 255) + "\r\n" + pad("v 7", 253) + "\r\n"},
        {"cr at the split", pad("v 1 2 3", 254) + "\rv 4 5 6\n"},
        {"keyword before a split line feed", pad("", 254) + "v\n" + pad("", 254) + "f\n" + pad("", 253) + "v\n"},
        {"overlong digits", "v 18446744073709551616 18446744073709551617e-10 1844674407370955161600000000000\n"
                            "f 123456789012345678901234567890 -98765432109876543210987654321 18446744073709551617\n"},
        {"long material name", "usemtl " + std::string(300, 'm') + "\nf 1 2 3\n"},
    };
    for (auto& c : corpus) EXPECT_TRUE(sameasreference(c.second)) << c.first;
}

// Files built from a deliberately small, nasty vocabulary.
std::string randomobj(std::mt19937& rng) {
    static const char* keys[] = {"v", "vt", "vn", "f", "usemtl", "V", "F", "Vn", "g", "#", "", "vp", "s", "f"};
    static const char* numbers[] = {"0", "1", "-1", "2.5", ".5", "-0", "1e3", "1e-45", "0x1A", "inf", "nan",
                                    "3.4e38", "1e39", "+7", "-", "9999999", "100000", "-100000", "12a", "0.1",
                                    "123456.789012", "2147483648", "-3", "5", "\t4", "1.5e", ""};
    static const char* seps[] = {" ", " ", " ", "  ", "\t", " \t"};
    static const char* ends[] = {"\n", "\n", "\n", "\r\n", "\r", "", " \n", "\t\n"};
    auto pick = [&](auto& arr) { return arr[rng() % (sizeof arr / sizeof arr[0])]; };
    std::string s;
    int lines = rng() % 60;
    for (int l = 0; l < lines; ++l) {
        std::string line;
        if (rng() % 8 == 0) line.append(rng() % 4, ' ');
        const char* key = pick(keys);
        line += key;
        int words = rng() % 6;
        for (int w = 0; w < words; ++w) {
            line += pick(seps);
            if (key[0] == 'f' || key[0] == 'F') {
                int parts = 1 + rng() % 4;
                for (int p = 0; p < parts; ++p) {
                    if (p) line += '/';
                    if (rng() % 5) line += pick(numbers);
                }
            } else {
                line += pick(numbers);
            }
        }
        if (rng() % 12 == 0) line = pad(line, 240 + rng() % 30, " x"[rng() % 2]) + "1.25";
        if (rng() % 40 == 0) line += '\0';
        s += line + pick(ends);
    }
    return s;
}

TEST_F(Reader, GeneratedFilesMatchTheLineReader) {
    std::mt19937 rng(4711);
    for (int i = 0; i < 400; ++i) {
        std::string s = randomobj(rng);
        ASSERT_TRUE(sameasreference(s)) << "generated file " << i << ":\n" << s;
    }
}

// Files and pipes are read in blocks, data in memory in place: the same
// record over many block refills, with lines across every kind of boundary.
TEST_F(Reader, FilesAndPipesReadLikeMemory) {
    std::mt19937 rng(99);
    std::string bytes;
    while (bytes.size() < 300000) bytes += randomobj(rng);
    ASSERT_TRUE(sameasreference(bytes));
    Record file;
    load(file, bytes, "big.obj");
    Record inplace;
    readobj(inplace.o, bytes.data(), bytes.size());
    inplace->prefix = file->prefix;
    EXPECT_TRUE(memcmp(file.o, inplace.o, sizeof(obj_type)) == 0) << differences(*file.o, *inplace.o);

    std::string pipe = tempdir() + "/pipe.obj";
    unlink(pipe.c_str());
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    std::thread writer([&] {
        FILE* f = fopen(pipe.c_str(), "wb");  // waits for the reader
        if (!f) return;
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    });
    Record piped;
    int r = Loadobj(piped.o, &pipe[0]);
    writer.join();
    unlink(pipe.c_str());
    EXPECT_EQ(r, 1);
    EXPECT_GT(piped->nface, 500);
    piped->prefix = file->prefix;  // from the file name, which differs
    EXPECT_TRUE(memcmp(piped.o, file.o, sizeof(obj_type)) == 0) << differences(*piped.o, *file.o);
}

// The entry points' record is kept between calls and cleared of what the
// last call wrote: after a model that fills every kind of slot, past the
// capacities too, the next call's record is all zero again, and a record
// taken while the kept one is lent out is a zero-filled one of its own.
TEST_F(Reader, KeptRecordComesBackAllZero) {
    std::string bytes;
    for (int i = 0; i < OBJ_MAXELEMENTS + 2; ++i) bytes += "v 1 -2 3.5\n";
    for (int i = 0; i < 300; ++i) bytes += "vt .5 .25\nvn 0 0 -1\nf 1/2/3 4/5/6 7/8/9 10/11/12\nusemtl m" + std::to_string(i) + "\n";
    static const obj_type* zero = static_cast<obj_type*>(calloc(1, sizeof(obj_type)));
    std::string path = writefile("full.obj", bytes);

    obj_type* first = takerecord("test", path.c_str());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(memcmp(first, zero, sizeof(obj_type)), 0);
    ASSERT_EQ(Loadobj(first, &path[0]), 1);
    ASSERT_EQ(first->nvertex, OBJ_MAXELEMENTS);
    ASSERT_EQ(first->matstart[OBJ_MAXMATERIALS], 300 + 999);
    giverecord(first);

    obj_type* again = takerecord("test", path.c_str());
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again, first);  // kept, not allocated anew
    EXPECT_EQ(memcmp(again, zero, sizeof(obj_type)), 0);
    obj_type* nested = takerecord("test", path.c_str());
    ASSERT_NE(nested, nullptr);
    EXPECT_NE(nested, again);
    EXPECT_EQ(memcmp(nested, zero, sizeof(obj_type)), 0);
    ASSERT_EQ(Loadobj(nested, &path[0]), 1);
    giverecord(nested);
    giverecord(again);  // one is kept, the other freed (ASan sees a leak otherwise)

    obj_type* last = takerecord("test", path.c_str());
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(memcmp(last, zero, sizeof(obj_type)), 0);
    giverecord(last);
    EXPECT_TRUE(boxes().empty());
}

}  // namespace
