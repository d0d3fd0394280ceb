// Hostile OBJ files through the entry point a host calls: each is read and
// drawn without a box (the reading rules give none for any content), never
// a crash or a hang, and the fast reader fills the record exactly as the
// line reader does.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "kestrin.h"
#include "objtype.h"
#include "recording_gl.h"
#include "reference_reader.h"
#include "temp_folder.h"

namespace {

class BadObj : public testing::Test {
protected:
    void SetUp() override { clearglcalls(); }

    // Writes the file, checks both readers agree on it, and draws it with
    // loadobjsize; the faces drawn.
    int readanddraw(const std::string& bytes) {
        path = folder.path("model.obj");
        FILE* f = fopen(path.c_str(), "wb");
        EXPECT_NE(f, nullptr);
        if (!f) return -1;
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
        obj_type* fast = static_cast<obj_type*>(calloc(1, sizeof(obj_type)));
        obj_type* ref = static_cast<obj_type*>(calloc(1, sizeof(obj_type)));
        EXPECT_EQ(Loadobj(fast, &path[0]), 1);
        EXPECT_EQ(refloadobj(ref, &path[0]), 1);
        EXPECT_EQ(memcmp(fast, ref, sizeof(obj_type)), 0) << "the fast reader and the line reader disagree";
        nface = fast->nface;
        nvertex = fast->nvertex;
        free(fast);
        free(ref);
        clearglcalls();
        EXPECT_EQ(loadobjsize(path.c_str(), "skin 4 default 5", "default", 100), 1);
        int begins = 0;
        for (const GlCall& c : glcalls()) begins += c.kind == GlCall::Begin;
        return begins;
    }

    TempFolder folder{"kestrin-badobj"};
    std::string path;
    int nface = 0, nvertex = 0;
    BoxRecorder boxes;
};

TEST_F(BadObj, LinesOfAMegabyteAreReadInPiecesSilently) {
    const std::string mb(1 << 20, 'x');
    const std::string digits(1 << 20, '7');
    std::string corners;
    while (corners.size() < (1u << 20)) corners += " 1 2 3";
    std::string file = "v 0 0 0\nv 1 0 0\nv 0 1 0\n"
                       "#" + mb + "\n"
                       "usemtl skin" + mb + "\n"
                       "v " + digits + " 2 3\n"
                       "f" + corners + "\n" +
                       std::string(1 << 20, ' ') + "\n"
                       "f 1 2 3\n";
    // The pieces of 255 characters are lines of their own: the filler makes
    // none of them a keyword, so one face from the corner line, one at the end.
    EXPECT_EQ(readanddraw(file), 2);
    EXPECT_EQ(nface, 2);
    EXPECT_EQ(nvertex, 4);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(BadObj, OnlyCommentsDrawNothing) {
    std::string file;
    for (int i = 0; i < 1000; ++i) file += "# v 1 2 3 f 1 2 3\n";
    file += "#";  // no final line feed
    EXPECT_EQ(readanddraw(file), 0);
    EXPECT_EQ(nvertex, 0);
    EXPECT_TRUE(glcalls().empty());
    EXPECT_TRUE(boxes.boxes.empty());
}

// Faces past the record's capacity overwrite its last slot: 99,999 drawn.
TEST_F(BadObj, TwoHundredThousandFacesDrawTheRecordsCapacity) {
    std::string file = "v 0 0 0\nv 1 0 0\nv 0 1 0\nusemtl skin\n";
    for (int i = 0; i < 200000; ++i) file += i % 2 ? "f 1 2 3\n" : "f 3 2 1\n";
    EXPECT_EQ(readanddraw(file), OBJ_MAXELEMENTS);
    EXPECT_EQ(nface, OBJ_MAXELEMENTS);
    EXPECT_TRUE(boxes.boxes.empty());
}

// Indices of 2^31 and beyond clamp to the last slot, negative ones past the
// first vertex to slot 0: drawn from zero slots, never from outside.
TEST_F(BadObj, IndicesOfTwoToTheThirtyOneAndBeyondDrawFromZeroSlots) {
    std::string file = "v 1 1 1\nvt 1 1\nvn 0 0 1\n"
                       "f 2147483648 4294967296 9223372036854775808 1\n"
                       "f 1/2147483648/99999999999999999999 -2147483649 -9223372036854775809\n";
    EXPECT_EQ(readanddraw(file), 2);
    int zero = 0, one = 0;
    for (const GlCall& c : glcalls()) {
        if (c.kind != GlCall::Vertex) continue;
        bool iszero = c.v[0] == 0 && c.v[1] == 0 && c.v[2] == 0;
        bool isone = c.v[0] > 0 && c.v[0] == c.v[1] && c.v[1] == c.v[2];
        zero += iszero;
        one += isone;
        EXPECT_TRUE(iszero || isone);
    }
    EXPECT_EQ(one, 2);  // the two corners "1" and "1/..."
    EXPECT_EQ(zero, 5);
    EXPECT_TRUE(boxes.boxes.empty());
}

}  // namespace
