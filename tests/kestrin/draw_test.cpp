// Drawing hand-filled records through the recording OpenGL.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include "kestrin.h"
#include "objtype.h"
#include "platform.h"
#include "recording_gl.h"
#include "temp_folder.h"

namespace {

uint32_t bits(float f) {
    uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

class Draw : public testing::Test {
protected:
    void SetUp() override {
        obj = static_cast<obj_type*>(calloc(1, sizeof(obj_type)));
        ASSERT_NE(obj, nullptr);
        test = 0;
        size = 0;
        clearglcalls();
    }
    void TearDown() override {
        free(obj);
        test = 0;
        size = 0;
    }

    void vertex(int i, float x, float y, float z) {
        obj->vertex[i][0] = x, obj->vertex[i][1] = y, obj->vertex[i][2] = z;
        if (i > obj->nvertex) obj->nvertex = i;
    }
    void face(int i, int a, int b, int c, int d = 0) {
        face_type& f = obj->face[i];
        f.vi[0] = a, f.vi[1] = b, f.vi[2] = c, f.vi[3] = d;
        if (i > obj->nface) obj->nface = i;
    }
    // The usual right triangle, drawn once as face 1.
    void triangle() {
        vertex(1, 0, 0, 0);
        vertex(2, 1, 0, 0);
        vertex(3, 0, 1, 0);
        face(1, 1, 2, 3);
    }
    // After Loadobj: the end sentinel behind the last material.
    void endmaterials(int count) { obj->matstart[count + 1] = obj->nface + 999; }

    std::vector<GlCall> calls(GlCall::Kind kind) {
        std::vector<GlCall> out;
        for (const GlCall& c : glcalls())
            if (c.kind == kind) out.push_back(c);
        return out;
    }
    std::vector<unsigned> bound() {
        std::vector<unsigned> out;
        for (const GlCall& c : calls(GlCall::BindTexture)) {
            EXPECT_EQ(c.mode, unsigned(GL_TEXTURE_2D));
            out.push_back(c.name);
        }
        return out;
    }

    obj_type* obj = nullptr;
};

}  // namespace

TEST_F(Draw, ScalesTheRadiusEstimateToTheTargetSize) {
    vertex(1, 10, 0, 0);
    face(1, 1, 1, 1);
    size = 150;
    drawobj(obj, "", "");
    // r = max(0.001, 0.0005 + 5) = 5.0005; y and z leave it.
    std::vector<GlCall> v = calls(GlCall::Vertex);
    ASSERT_EQ(v.size(), 3u);
    EXPECT_FLOAT_EQ(v[0].v[0], 10.0f * float(150.0 / double(5.0005f)));
    EXPECT_NEAR(v[0].v[0], 299.97, 0.01);
    EXPECT_EQ(v[0].v[1], 0.0f);
    // Generated texture coordinates: one repeat per radius.
    std::vector<GlCall> t = calls(GlCall::TexCoord);
    EXPECT_FLOAT_EQ(t[0].v[0], 10.0f * (1.0f / 5.0005f));

    // Below 1: file coordinates.
    for (int s : {0, -5}) {
        clearglcalls();
        size = s;
        drawobj2(obj);
        EXPECT_EQ(calls(GlCall::Vertex)[0].v[0], 10.0f);
    }

    // The smoothing, worked by hand on coordinates whose every step is exact
    // in float: r = 0.001; x 65536 gives 0.0005 + 32768, which rounds to
    // 32768 (floats are 2^-8 apart there); y -98304 gives 16384 + 49152 =
    // 65536. So s = 150 / 65536 and ts = 1 / 65536, both exact: neither the
    // largest coordinate (98304) nor the first (65536) is the radius.
    clearglcalls();
    size = 150;
    vertex(1, 65536, 0, 0);
    vertex(2, 0, -98304, 0);
    face(1, 1, 2, 2);
    drawobj2(obj);
    v = calls(GlCall::Vertex);
    t = calls(GlCall::TexCoord);
    ASSERT_EQ(v.size(), 3u);
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(bits(v[0].v[0]), bits(150.0f));
    EXPECT_EQ(bits(v[0].v[1]), bits(0.0f));
    EXPECT_EQ(bits(v[1].v[1]), bits(-225.0f));
    EXPECT_EQ(bits(v[1].v[0]), bits(0.0f));
    EXPECT_EQ(bits(t[0].v[0]), bits(1.0f));
    EXPECT_EQ(bits(t[1].v[1]), bits(-1.5f));
}

TEST_F(Draw, NothingAtAllForAnEmptyRecord) {
    drawobj(obj, "car 3", "car");
    drawobj2(obj);
    EXPECT_TRUE(glcalls().empty());
}

TEST_F(Draw, NormalsFromTheFileComputedOrLeftAlone) {
    triangle();
    drawobj2(obj);
    EXPECT_EQ(glshape(), "BNTVTVTVE");
    GlCall n = calls(GlCall::Normal)[0];
    EXPECT_EQ(n.v[0], 0.0f);
    EXPECT_EQ(n.v[1], 0.0f);
    EXPECT_EQ(n.v[2], 1.0f);

    clearglcalls();
    obj->normal[2][0] = 0.25f, obj->normal[2][1] = -1, obj->normal[2][2] = 2;
    obj->face[1].ni[0] = 2;
    drawobj2(obj);
    n = calls(GlCall::Normal)[0];
    EXPECT_EQ(n.v[0], 0.25f);
    EXPECT_EQ(n.v[1], -1.0f);
    EXPECT_EQ(n.v[2], 2.0f);

    clearglcalls();
    obj->face[1].ni[0] = -1;
    drawobj2(obj);
    EXPECT_EQ(glshape(), "BTVTVTVE");
}

TEST_F(Draw, QuadsAndTrianglesEachInTheirOwnBlock) {
    vertex(4, 1, 1, 0);
    triangle();
    face(1, 1, 2, 4, 3);
    face(2, 1, 2, 3);
    drawobj2(obj);
    EXPECT_EQ(glshape(), "BNTVTVTVTVE" "BNTVTVTVE");
    std::vector<GlCall> b = calls(GlCall::Begin);
    EXPECT_EQ(b[0].mode, unsigned(GL_QUADS));
    EXPECT_EQ(b[1].mode, unsigned(GL_TRIANGLES));
    // Corner order as in the file.
    std::vector<GlCall> v = calls(GlCall::Vertex);
    EXPECT_EQ(v[2].v[0], 1.0f);
    EXPECT_EQ(v[2].v[1], 1.0f);
}

TEST_F(Draw, FileTextureCoordinatesWhereGivenGeneratedElsewhere) {
    triangle();
    obj->texcoord[1][0] = 0.5f, obj->texcoord[1][1] = 0.25f;
    obj->face[1].ti[0] = 1;
    obj->face[1].ti[2] = 1;
    drawobj(obj, "", "");
    std::vector<GlCall> t = calls(GlCall::TexCoord);
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0].v[0], 0.5f);
    EXPECT_EQ(t[0].v[1], 0.25f);
    // r: 0.001, then 0.5005 (x of vertex 2), then 0.75025 (y of vertex 3).
    const float ts = 1.0f / 0.75025f;
    EXPECT_FLOAT_EQ(t[1].v[0], ts);
    EXPECT_EQ(t[1].v[1], 0.0f);
    EXPECT_EQ(t[2].v[0], 0.5f);

    clearglcalls();
    drawobj2(obj);  // ignores the file's coordinates
    t = calls(GlCall::TexCoord);
    EXPECT_EQ(t[0].v[0], 0.0f);
    EXPECT_FLOAT_EQ(t[1].v[0], ts);
    EXPECT_FLOAT_EQ(t[2].v[1], ts);
}

TEST_F(Draw, TextureLookedUpOncePerMaterial) {
    triangle();
    face(2, 1, 2, 3);
    face(3, 1, 2, 3);
    obj->prefix = "Car";
    endmaterials(0);
    drawobj(obj, "skinx 7 car 3", "");
    EXPECT_EQ(bound(), std::vector<unsigned>{3});
    EXPECT_EQ(glshape().substr(0, 2), "XB");  // before face 1

    // Faces 1-2 without material, 3-4 "Skin", an empty range, 5 "Hair".
    clearglcalls();
    face(4, 1, 2, 3);
    face(5, 1, 2, 3);
    obj->prefix = "car";
    obj->matname[1] = "Skin";
    obj->matstart[1] = 2;
    obj->matname[2] = "Unused";
    obj->matstart[2] = 4;
    obj->matname[3] = "Hair";
    obj->matstart[3] = 4;
    endmaterials(3);
    drawobj(obj, "car 1 carhair 2 carSkin 5 carcar 9", "");
    // "carskin" is not "carSkin": the fallback prefix+prefix is bound.
    EXPECT_EQ(bound(), (std::vector<unsigned>{1, 9, 2}));
    EXPECT_EQ(glshape().find('X', 1), std::string("XBNTVTVTVEBNTVTVTVE").size());

    clearglcalls();
    drawobj(obj, "car 1 hair 4 tex 6", "tex");
    EXPECT_EQ(bound(), (std::vector<unsigned>{1, 6, 6}));
}

TEST_F(Draw, NoBindingWhenNeitherKeyIsListed) {
    triangle();
    obj->prefix = "model";
    endmaterials(0);
    drawobj(obj, "", "");
    drawobj(obj, "other 4", "");
    drawobj(obj, "other 4", "missing");
    // An empty prefix and no material: the empty key matches nothing, so
    // the host's bound texture stays (as harlith keeps it too).
    obj->prefix = "";
    drawobj(obj, "", "");
    drawobj(obj, "other 4", "");
    EXPECT_TRUE(bound().empty());
    EXPECT_EQ(glshape(), "BNTVTVTVE" "BNTVTVTVE" "BNTVTVTVE" "BNTVTVTVE" "BNTVTVTVE");
}

TEST_F(Draw, DialogsShowTheLookupUntilAnsweredNo) {
    BoxRecorder boxes;
    triangle();
    obj->prefix = "car";
    endmaterials(0);
    test = 1;
    drawobj(obj, "car 3", "");
    ASSERT_EQ(boxes.boxes.size(), 3u);
    EXPECT_EQ(boxes.boxes[0].text, "usef$= textlist$=car 3");
    EXPECT_EQ(boxes.boxes[0].title, "notice");
    EXPECT_EQ(boxes.boxes[1].text, "usef$=car/textlist$=car 3");
    EXPECT_EQ(boxes.boxes[1].title, "confirm");
    EXPECT_EQ(boxes.boxes[2].text, "bindtext=car itext=3");
    EXPECT_EQ(bound(), std::vector<unsigned>{3});

    // A miss asks again for the fallback; "no" silences the rest of the call.
    boxes.boxes.clear();
    face(2, 1, 2, 3);
    obj->matname[1] = "skin";
    obj->matstart[1] = 1;
    endmaterials(1);
    for (int button : {KESTRIN_IDOK, KESTRIN_IDYES, KESTRIN_IDOK, KESTRIN_IDYES, KESTRIN_IDNO}) boxes.answer(button);
    drawobj(obj, "car 3 carcar 8", "");
    ASSERT_EQ(boxes.boxes.size(), 5u);
    EXPECT_EQ(boxes.boxes[3].text, "usef$=carskin/textlist$=car 3 carcar 8");
    EXPECT_EQ(boxes.boxes[4].text, "usef$=carcar/textlist$=car 3 carcar 8");
    EXPECT_EQ(bound(), (std::vector<unsigned>{3, 3, 8}));
    EXPECT_EQ(test, 1);  // only the call's own copy was switched off

    // Without faces the first notice still comes, and nothing is drawn.
    boxes.boxes.clear();
    clearglcalls();
    obj->nface = 0;
    drawobj(obj, "car 3", "");
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_TRUE(glcalls().empty());

    boxes.boxes.clear();
    test = 0;
    obj->nface = 2;
    drawobj(obj, "car 3", "");
    drawobj2(obj);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(Draw, IndicesOutsideTheArraysReadSlotZero) {
    // Slot 0 is all zero after reading; a marker shows it is the one read.
    vertex(0, 7, 8, 9);
    obj->normal[0][0] = 5;
    obj->texcoord[0][0] = 0.75f;
    vertex(1, 1, 1, 1);
    face(1, -1, 100000, INT_MAX, INT_MIN);
    obj->face[1].ti[0] = -3;
    obj->face[1].ti[1] = 1 << 30;
    obj->face[1].ni[0] = 123456;
    obj->prefix = "m";
    drawobj(obj, "", "");
    ASSERT_EQ(glshape(), "BNTVTVTVTVE");
    for (const GlCall& v : calls(GlCall::Vertex)) {
        EXPECT_EQ(v.v[0], 7.0f);
        EXPECT_EQ(v.v[2], 9.0f);
    }
    EXPECT_EQ(calls(GlCall::Normal)[0].v[0], 5.0f);
    EXPECT_EQ(calls(GlCall::TexCoord)[0].v[0], 0.75f);
    EXPECT_EQ(calls(GlCall::TexCoord)[1].v[0], 0.75f);
}

TEST_F(Draw, AnyRecordStaysInsideItself) {
    // Counts beyond the capacity, material starts that never end, texts
    // without terminator: under ASan any read past the record would fail.
    triangle();
    obj->nvertex = INT_MAX;
    obj->nface = INT_MAX;
    for (int k = 0; k < OBJ_MATSLOTS; ++k) {
        obj->matstart[k] = -1;
        memset(obj->matname[k].s, 'm', sizeof obj->matname[k].s);
    }
    memset(obj->prefix.s, 'p', sizeof obj->prefix.s);
    test = 1;
    BoxRecorder boxes;
    boxes.answer(KESTRIN_IDOK);
    boxes.answer(KESTRIN_IDNO);
    drawobj(obj, "x 1", "");
    EXPECT_EQ(calls(GlCall::Begin).size(), size_t(OBJ_MAXELEMENTS));
    EXPECT_EQ(boxes.boxes.size(), 2u);  // one lookup, then silence
}

// ---- the entry points: one fresh record per call ----------------------------

namespace {

class Entry : public testing::Test {
protected:
    void SetUp() override {
        clearglcalls();
        size = 0;
    }
    void TearDown() override {
        size = 0;
        test = 0;
    }
    // An OBJ file of the given lines in the temp folder; returns its path.
    const char* objfile(const std::string& name, const std::string& text) {
        files_.push_back(folder_.write(name, text));
        return files_.back().c_str();
    }
    // The prefix: the path (no backslash here) without its extension.
    static std::string stem(const char* path) {
        std::string s(path);
        return s.substr(0, s.size() - 4);
    }
    const char* triangle() {
        return objfile("entry_tri.obj", "v 0 0 0\nv 10 0 0\nv 0 1 0\nvt 0.5 0.25\nf 1/1 2/1 3/1\n");
    }
    std::vector<GlCall> calls(GlCall::Kind kind) {
        std::vector<GlCall> out;
        for (const GlCall& c : glcalls())
            if (c.kind == kind) out.push_back(c);
        return out;
    }
    TempFolder folder_{"kestrin-draw"};
    std::deque<std::string> files_;   // stable c_str() as files are added
};

const char* missing = "/nonexistent/entry/missing.obj";

}  // namespace

TEST_F(Entry, MissingFileIsReportedOnceDrawsNothingAndReturnsOne) {
    BoxRecorder boxes;
    EXPECT_EQ(loadobj(missing, "", ""), 1);
    EXPECT_EQ(loadobjsize(missing, "", "", 150), 1);
    EXPECT_EQ(loadobj2(missing), 1);
    EXPECT_TRUE(glcalls().empty());
    ASSERT_EQ(boxes.boxes.size(), 3u);
    for (const SeenBox& b : boxes.boxes) EXPECT_EQ(b.text, std::string("error open file \r") + missing);
    // Hosts may pass null for the texts they have not got.
    EXPECT_EQ(loadobj(nullptr, nullptr, nullptr), 1);
}

TEST_F(Entry, SizeGivenToLoadobjsizeStaysForLaterCalls) {
    BoxRecorder boxes;
    const char* path = triangle();
    EXPECT_EQ(loadobj(path, "", ""), 1);
    EXPECT_EQ(calls(GlCall::Vertex)[1].v[0], 10.0f);  // no scaling yet
    clearglcalls();
    EXPECT_EQ(loadobjsize(path, "", "", 150), 1);
    float scaled = calls(GlCall::Vertex)[1].v[0];
    EXPECT_NEAR(scaled, 299.97, 0.01);
    clearglcalls();
    EXPECT_EQ(loadobj(path, "", ""), 1);
    EXPECT_EQ(calls(GlCall::Vertex)[1].v[0], scaled);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(Entry, AHandWorkedFileIsScaledToTheSizeGiven) {
    // Radius by hand: 0.001, then 32768 after the 65536 (0.0005 is below
    // half the float spacing there), then 16384 + 49152 = 65536 after the
    // 98304; the third vertex changes nothing. Scale 150 / 65536.
    BoxRecorder boxes;
    const char* path = objfile("entry_exact.obj", "v 65536 0 0\nv 0 98304 0\nv 0 0 -32768\nf 1 2 3\n");
    EXPECT_EQ(loadobjsize(path, "", "", 150), 1);
    std::vector<GlCall> v = calls(GlCall::Vertex), t = calls(GlCall::TexCoord);
    ASSERT_EQ(v.size(), 3u);
    ASSERT_EQ(t.size(), 3u);
    const float drawn[3][3] = {{150, 0, 0}, {0, 225, 0}, {0, 0, -75}};
    const float texture[3][2] = {{1, 0}, {0, 1.5f}, {0, 0}};
    for (int i = 0; i < 3; ++i) {
        for (int c = 0; c < 3; ++c) EXPECT_EQ(bits(v[i].v[c]), bits(drawn[i][c])) << i << "," << c;
        for (int c = 0; c < 2; ++c) EXPECT_EQ(bits(t[i].v[c]), bits(texture[i][c])) << i << "," << c;
    }
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(Entry, DebugDialogsOnlyFromLoadobj1AndTestloadobj) {
    BoxRecorder boxes;
    const char* path = triangle();
    EXPECT_EQ(loadobj1(path, "", ""), 1);
    ASSERT_GE(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[0].text, "prefix$=" + stem(path));
    EXPECT_EQ(boxes.boxes[1].text, "usef$= textlist$=");
    EXPECT_EQ(calls(GlCall::Begin).size(), 1u);

    boxes.boxes.clear();
    EXPECT_EQ(loadobj(path, "", ""), 1);
    EXPECT_TRUE(boxes.boxes.empty());

    EXPECT_EQ(testloadobj(path), 1);
    std::vector<std::pair<std::string, std::string>> seen;
    for (const SeenBox& b : boxes.boxes) seen.emplace_back(b.title, b.text);
    std::vector<std::pair<std::string, std::string>> expected{
        {"notice", "prefix$=" + stem(path)}, {"nbre vertices", "3"}, {"nbre polygons", "1"},
        {"nbre textures", "1"},          {"nbre normals", "0"}};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(boxes.boxes[1].type, unsigned(KESTRIN_MB_OK));

    boxes.boxes.clear();
    EXPECT_EQ(testloadobj(missing), 1);
    ASSERT_EQ(boxes.boxes.size(), 6u);
    EXPECT_EQ(boxes.boxes[1].text, std::string("error open file \r") + missing);
    for (int i = 2; i < 6; ++i) EXPECT_EQ(boxes.boxes[i].text, "0");
}

// Run by the test below in a process whose allocator refuses 8 MB.
TEST_F(Entry, DISABLED_WithoutMemoryForTheRecord) {
    BoxRecorder boxes;
    const char* path = triangle();
    EXPECT_EQ(loadobjsize(path, "", "", 150), 1);
    EXPECT_EQ(testloadobj(path), 1);
    EXPECT_TRUE(glcalls().empty());
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[0].title, "loadobjsize");
    EXPECT_EQ(boxes.boxes[0].text, std::string("not enough memory to read the model\r") + path);
    EXPECT_EQ(boxes.boxes[1].title, "testloadobj");
}

TEST(EntryMemory, MissingMemoryIsReportedNotFatal) {
    char self[4096] = {0};
    ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
    std::string command = std::string("ASAN_OPTIONS=allocator_may_return_null=1:max_allocation_size_mb=4 '") + self +
                          "' --gtest_also_run_disabled_tests --gtest_filter=Entry.DISABLED_WithoutMemoryForTheRecord 2>&1";
    FILE* child = popen(command.c_str(), "r");
    ASSERT_NE(child, nullptr);
    std::string output;
    char buf[512];
    while (size_t n = fread(buf, 1, sizeof buf, child)) output.append(buf, n);
    EXPECT_EQ(pclose(child), 0) << output;
    EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;
}
