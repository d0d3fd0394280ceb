// The text and file kit: pool, char$, words and fields, searches, cuts,
// numbers, dialogs and line reading.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <set>
#include <string>

#include "kit.h"
#include "platform.h"
#include "recording_gl.h"

namespace {

// A scratch file holding exactly the given bytes.
class ScratchFile {
public:
    explicit ScratchFile(const std::string& bytes) {
        path_ = testing::TempDir() + "kit_" + testing::UnitTest::GetInstance()->current_test_info()->name();
        FILE* f = fopen(path_.c_str(), "wb");
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    }
    ~ScratchFile() { remove(path_.c_str()); }
    const char* path() const { return path_.c_str(); }

private:
    std::string path_;
};

std::vector<std::string> lines(const std::string& bytes, int n = 256) {
    ScratchFile file(bytes);
    FILE* f = open(file.path());
    std::vector<std::string> out;
    while (!eof(f) && !error(f)) out.push_back(input$(f, n));
    close(f);
    return out;
}

}  // namespace

TEST(KitPool, NineteenBuffersRotateAndBufferZeroIsNeverUsed) {
    std::set<char*> seen;
    char* first = icbuffer$();
    seen.insert(first);
    for (int i = 2; i <= 19; ++i) seen.insert(icbuffer$());
    EXPECT_EQ(seen.size(), 19u);
    EXPECT_EQ(seen.count(cbuffer$[0]), 0u);
    EXPECT_EQ(icbuffer$(), first);  // the 20th call
    for (int i = 0; i < 40; ++i) EXPECT_NE(icbuffer$(), cbuffer$[0]);
}

TEST(KitPool, ResultsAreCutTo255Characters) {
    std::string longtext(300, 'x');
    EXPECT_EQ(len(strc$(longtext.c_str())), 255);
    EXPECT_EQ(len(strc$(longtext.c_str(), "abc")), 255);
    EXPECT_EQ(len(strc$("ab", longtext.c_str(), "c", "d")), 255);
    EXPECT_EQ(len(spacec$(1000)), 255);
    EXPECT_EQ(len(str$(1e300)), 255);
    EXPECT_EQ(len(lowerc$(longtext.c_str())), 255);
    EXPECT_EQ(len(firstwordc$(longtext.c_str())), 255);
    EXPECT_EQ(len(wordc$(longtext.c_str(), 1, ",")), 255);
}

TEST(KitPool, ArgumentsMayLiveInTheBufferBeingReused) {
    char* a = strc$("abc");
    for (int i = 0; i < 17; ++i) icbuffer$();
    // The next buffer handed out is a's own.
    EXPECT_STREQ(strc$(a, "def"), "abcdef");
    a = strc$("hello world");
    for (int i = 0; i < 18; ++i) icbuffer$();
    EXPECT_STREQ(midc$(a, 7, 5), "world");
}

TEST(KitCharString, CopiesComparesAndJoins) {
    char$ a;
    a = "model";
    char$ b = a;  // by value
    b = "other";
    EXPECT_STREQ(a, "model");
    EXPECT_TRUE(a == chr$("model"));
    EXPECT_TRUE(a != chr$("Model"));
    EXPECT_TRUE(a == "model");  // text, not pointer, comparison
    EXPECT_FALSE(a != "model");
    char$ c = a + ".obj";
    EXPECT_STREQ(c, "model.obj");
    EXPECT_STREQ(a, "model");

    std::string longtext(300, 'y');
    c = longtext.c_str();
    EXPECT_EQ(len(c), 255);
    c = a + longtext.c_str();
    EXPECT_EQ(len(c), 255);
    EXPECT_EQ(std::string(c).substr(0, 6), "modely");

    // Assigning a tail of itself (overlapping copy).
    c = "abcdef";
    c = c.s + 2;
    EXPECT_STREQ(c, "cdef");
}

TEST(KitWords, SpaceSeparatedWords) {
    EXPECT_STREQ(wordc$("  alpha   beta", 2), "beta");
    EXPECT_STREQ(wordc$("  alpha   beta", 1), "alpha");
    EXPECT_STREQ(wordc$("alpha", 2), "");
    EXPECT_STREQ(wordc$("alpha", 0), "");
    EXPECT_STREQ(wordc$("a\tb c", 1), "a\tb");  // a tab is no blank
    EXPECT_STREQ(wordc$("f 1 2\n", 3), "2\n");
    EXPECT_STREQ(firstwordc$("   "), "");
    EXPECT_STREQ(firstwordc$("  usemtl skin"), "usemtl");

    const char* line = "f 1 2";
    EXPECT_EQ(nextwordc$(line), line + 2);
    EXPECT_STREQ(nextwordc$(line), "1 2");
    EXPECT_STREQ(firstwordc$(nextwordc$(nextwordc$(line))), "2");
    const char* single = "  word";
    EXPECT_EQ(nextwordc$(single), single + 6);
    EXPECT_EQ(nextwordc$(nextwordc$(single)), single + 6);
}

TEST(KitWords, FieldsAtASeparator) {
    EXPECT_STREQ(wordc$("1/2/3", 3, "/"), "3");
    EXPECT_STREQ(wordc$("1//3", 2, "/"), "");
    EXPECT_STREQ(wordc$("1//3", 3, "/"), "3");
    EXPECT_STREQ(wordc$("12", 1, "/"), "12");
    EXPECT_STREQ(wordc$("12", 2, "/"), "");
    EXPECT_STREQ(wordc$("a::b::c", 2, "::"), "b");
    EXPECT_STREQ(wordc$("a::b::c", 3, "::"), "c");
    EXPECT_STREQ(wordc$("a/b", 0, "/"), "");
    EXPECT_STREQ(wordc$("a/b", 1, ""), "");
    EXPECT_STREQ(wordc$("skin\n", 1, "\n"), "skin");
    EXPECT_STREQ(wordc$("1/2/3", 2, '/'), "2");
    EXPECT_STREQ(wordc$("1/2/3", 4, '/'), "");
    EXPECT_STREQ(wordc$("1/2/3", 1, '\0'), "");
}

TEST(KitWords, OnlyFoundResultsTakeAPoolBuffer) {
    int before = icbuffer;
    wordc$("a/b", 0, "/");
    wordc$("a/b", 3, "/");
    wordc$("a/b", 1, "");
    wordc$("a b", 0);
    EXPECT_EQ(icbuffer, before);
    wordc$("a b", 3);  // an empty word found by the space form
    EXPECT_NE(icbuffer, before);
}

TEST(KitSearch, PositionsAndPointers) {
    EXPECT_EQ(instr("hello", 'l'), 3);
    EXPECT_EQ(instr("hello", 'z'), 0);
    EXPECT_EQ(instr("hello", 'l', 4), 4);
    EXPECT_EQ(instr("hello", 'h', -3), 1);
    EXPECT_EQ(instr("hello", 'o', 99), 5);
    EXPECT_EQ(instr("hello", "lo"), 4);
    EXPECT_EQ(instr("hello", "lo", 5), 0);
    EXPECT_EQ(instr("", "x", 3), 0);
    EXPECT_EQ(instr("hello", '\0'), 0);
    const char* text = "a b a";
    EXPECT_EQ(instr$(text, "a", 2), text + 4);
    EXPECT_EQ(instr$(text, 'q'), nullptr);

    EXPECT_STREQ(instrrev$("a\\b\\c.obj", '\\'), "c.obj");
    EXPECT_STREQ(instrrev$("a\\b\\c.obj", "\\x"), "c.obj");
    const char* plain = "c.obj";
    EXPECT_EQ(instrrev$(plain, '\\'), plain);
    EXPECT_EQ(instrrev$(plain, ""), plain);
}

TEST(KitCuts, LeftRightMidSpaceTrim) {
    EXPECT_STREQ(leftc$("model.obj", 5), "model");
    EXPECT_STREQ(leftc$("abc", -1), "");
    EXPECT_STREQ(leftc$("abc", 9), "abc");
    EXPECT_STREQ(rightc$("abc", 5), "abc");
    EXPECT_STREQ(rightc$("abc", 2), "bc");
    EXPECT_STREQ(rightc$("abc", -2), "");
    EXPECT_STREQ(midc$("abcdef", 2, 3), "bcd");
    EXPECT_STREQ(midc$("abcdef", 0, 2), "ab");
    EXPECT_STREQ(midc$("abcdef", 5, 9), "ef");
    EXPECT_STREQ(midc$("abcdef", 2, -1), "");
    EXPECT_STREQ(spacec$(3), "   ");
    EXPECT_STREQ(spacec$(2, '*'), "**");
    EXPECT_STREQ(spacec$(3, "xyz"), "xxx");
    EXPECT_STREQ(spacec$(-1), "");
    EXPECT_STREQ(trimc$("  a b  "), "a b");
    EXPECT_STREQ(trimc$("   "), "");
    EXPECT_STREQ(trimc$("\ta "), "\ta");
}

TEST(KitCuts, MidBeyondTheEndIsEmptyNotStalePoolText) {
    for (int i = 0; i < icbuffermax; ++i) strc$("stale");
    EXPECT_STREQ(midc$("abc", 4, 2), "");
    EXPECT_STREQ(midc$("abc", 100, 2), "");
    EXPECT_STREQ(midc$("", 1, 1), "");
}

TEST(KitText, CaseCodesAndNumbersAsText) {
    EXPECT_STREQ(lowerc$("Car\xC9Skin"), "car\xC9skin");
    EXPECT_STREQ(upperc$("usemtl 1"), "USEMTL 1");
    EXPECT_EQ(asc("A"), 65);
    EXPECT_LT(asc("\xE9t\xE9"), 0);
    EXPECT_EQ(asc('\xFF'), -1);
    EXPECT_EQ(asc(""), 0);
    EXPECT_STREQ(chr$(0x141), "A");
    EXPECT_STREQ(str$('q'), "q");
    EXPECT_STREQ(str$(0.5f), "0.500000");
}

TEST(KitNumbers, ConversionsFromText) {
    EXPECT_EQ(val("  -12abc"), -12);
    EXPECT_EQ(val("+7"), 7);
    EXPECT_EQ(val("x1"), 0);
    EXPECT_EQ(val("99999999999"), INT_MAX);
    EXPECT_EQ(val("-99999999999"), INT_MIN);
    EXPECT_EQ(val("4294967297"), INT_MAX);  // no wrap to 1 where long is 64-bit
    EXPECT_EQ(ival("13\n"), 13);
    EXPECT_EQ(lval("-77"), -77L);
    EXPECT_EQ(fval("0.1"), 0.1f);
    EXPECT_EQ(fval(" 1e3\n"), 1000.0f);
    EXPECT_EQ(fval(".5"), 0.5f);
    EXPECT_EQ(fval("0x10"), 0.0f);  // the runtime's grammar: no hex (more in numbers_test)
    EXPECT_EQ(fval("abc"), 0.0f);
    EXPECT_EQ(dval("2.5e-1"), 0.25);
    EXPECT_TRUE(std::isinf(fval("1e60")));
}

TEST(KitNumbers, FloatMinMaxOrderAndRandomRange) {
    EXPECT_EQ(max(1.0f, 2.0f), 2.0f);
    EXPECT_EQ(min(1.0f, 2.0f), 1.0f);
    EXPECT_TRUE(std::isnan(max(1.0f, NAN)));  // unordered: the second
    EXPECT_EQ(max(NAN, 1.0f), 1.0f);
    EXPECT_EQ(min(NAN, 1.0f), 1.0f);
    EXPECT_TRUE(std::isnan(min(1.0f, NAN)));
    // Signed zeros compare equal: the first argument wins.
    EXPECT_TRUE(std::signbit(max(-0.0f, 0.0f)));
    EXPECT_EQ(min(3, 5), 3);
    EXPECT_EQ(max(3, 5), 5);
    for (int i = 0; i < 500; ++i) {
        double r = rnd(65535);
        ASSERT_GE(r, 0.0);
        ASSERT_LE(r, 65535.0);
        double d = rnd(2.5);
        ASSERT_GE(d, 0.0);
        ASSERT_LE(d, 2.5);
    }
}

TEST(KitDialogs, NoticeConfirmAndTheHook) {
    BoxRecorder boxes;
    notice("hello");
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "hello");
    EXPECT_EQ(boxes.boxes[0].title, "notice");
    EXPECT_EQ(boxes.boxes[0].type, unsigned(KESTRIN_MB_OK | KESTRIN_MB_ICONINFORMATION));

    char* answer = nullptr;
    boxes.answer(KESTRIN_IDNO);
    confirm("sure?", answer);
    EXPECT_STREQ(answer, "no");
    boxes.answer(KESTRIN_IDYES);
    confirm("sure?", answer);
    EXPECT_STREQ(answer, "yes");
    boxes.answer(KESTRIN_IDCANCEL);  // a closed box is no Yes
    confirm("sure?", answer);
    EXPECT_STREQ(answer, "no");
    ASSERT_EQ(boxes.boxes.size(), 4u);
    EXPECT_EQ(boxes.boxes[1].title, "confirm");
    EXPECT_EQ(boxes.boxes[1].type, unsigned(KESTRIN_MB_YESNO));
}

TEST(KitDialogs, SettingTheHookReturnsThePreviousAndNullRestoresTheDefault) {
    kestrin_box_hook original = kestrinsetboxhook(nullptr);
    kestrin_box_hook fallback = kestrinsetboxhook(nullptr);
    ASSERT_NE(fallback, nullptr);
    kestrin_box_hook mine = [](const char*, const char*, unsigned) { return 42; };
    EXPECT_EQ(kestrinsetboxhook(mine), fallback);
    char* answer = nullptr;
    confirm("through mine", answer);
    EXPECT_STREQ(answer, "no");
    EXPECT_EQ(kestrinsetboxhook(nullptr), mine);
    confirm("through the default, which agrees", answer);
    EXPECT_STREQ(answer, "yes");
    EXPECT_EQ(kestrinsetboxhook(original), fallback);
}

TEST(KitFiles, LinesFoldCrLfKeepLoneCrAndEndWithoutNewline) {
    std::vector<std::string> expected{"v 1\n", "v 2\n", "a\rb\n", "last"};
    EXPECT_EQ(lines("v 1\r\nv 2\na\rb\r\nlast"), expected);
    expected = {"x\n", ""};  // the call that meets the end returns ""
    EXPECT_EQ(lines("x\n"), expected);
    expected = {"x\r"};
    EXPECT_EQ(lines("x\r"), expected);
    expected = {""};
    EXPECT_EQ(lines(""), expected);
}

TEST(KitFiles, LongLinesComeBackInPieces) {
    std::string line(300, 'a');
    std::vector<std::string> expected{std::string(255, 'a'), std::string(45, 'a') + "\n", ""};
    EXPECT_EQ(lines(line + "\r\n"), expected);

    // A CR LF pair right at the limit is one character and is not split.
    std::string edge(254, 'b');
    expected = {edge + "\n", "c"};
    EXPECT_EQ(lines(edge + "\r\nc"), expected);
    edge += "b";
    expected = {edge, "\n", ""};
    EXPECT_EQ(lines(edge + "\r\n"), expected);

    expected = {"ab", "c\n", ""};
    EXPECT_EQ(lines("abc\r\n", 3), expected);
}

TEST(KitFiles, OpenFailureAndNullStreams) {
    BoxRecorder boxes;
    FILE* f = open("/nonexistent/dir/model.obj");
    EXPECT_EQ(f, nullptr);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "error open file \r/nonexistent/dir/model.obj");
    EXPECT_EQ(boxes.boxes[0].title, "notice");
    EXPECT_STREQ(input$(f), "");
    EXPECT_NE(eof(f), 0);
    EXPECT_NE(error(f), 0);
    close(f);
}
