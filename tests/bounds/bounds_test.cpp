// The model readers on hostile files: memory follows what is drawn, never
// the padding (peak heap through the tests' allocation hooks), and every
// failed allocation ends in the entry point's usual result.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "alloc_hooks.h"
#include "harlith.h"
#include "kestrin.h"
#include "model3ds.h"
#include "objtype.h"
#include "recording_gl.h"
#include "temp_folder.h"
#include "writer3ds.h"

namespace {

const size_t MB = 1024 * 1024;
const size_t kPad = 100 * MB;

// A box hook that allocates nothing (the failure runs fail the test's own
// allocations too): the last box's title and how many there were.
char lasttitle[64];
int boxes = 0;
int quietbox(const char*, const char* title, unsigned) {
    ++boxes;
    std::snprintf(lasttitle, sizeof lasttitle, "%s", title);
    return 1;
}

size_t faces() {
    size_t n = 0;
    for (const GlCall& c : glcalls()) n += c.kind == GlCall::Begin;
    return n;
}

struct QuietBoxes {
    kestrin_box_hook before = kestrinsetboxhook(quietbox);
    QuietBoxes() { boxes = 0, lasttitle[0] = 0; }
    ~QuietBoxes() { kestrinsetboxhook(before); }
};

std::string cubefile() {
    MeshSpec c = cube(1.0f);
    c.name = "box";
    c.groups = materialgroup("wood", {0, 1, 2});
    return file3ds(meshobject(c));
}

// The editor content repeated until the file passes `bytes`.
std::string repeated3ds(const std::string& unit, const std::string& tail, size_t bytes) {
    std::string content;
    content.reserve(bytes + unit.size() + tail.size());
    while (content.size() < bytes) content += unit;
    return file3ds(content + tail);
}

}  // namespace

// Empty meshes, empty face lists and repeated meshes past 100 MB: the
// reader keeps only meshes with vertices and groups with faces (under the
// caps of model3ds.h), so padding costs nothing and repetition at most the
// capped arrays. 2,000,000 empty meshes cost 312 MB before.
TEST(ReaderBounds, ThreeDsMemoryFollowsWhatIsDrawn) {
    MeshSpec c = cube(1.0f);
    c.name = "box";
    const std::string cubeobject = meshobject(c);
    const std::string emptymesh = chunk(CHUNK_OBJECT, std::string("e\0", 2) + chunk(CHUNK_TRIMESH, ""));
    std::string emptygroups;
    while (emptygroups.size() < kPad) emptygroups += chunk(CHUNK_FACE_MATERIAL, std::string("m\0\0\0", 4));
    MeshSpec g = cube(1.0f);
    g.name = "groups";
    g.groups = emptygroups + materialgroup("wood", {0, 1});

    struct Case {
        const char* name;
        std::string file;
        uint32_t meshes, groups;
        size_t bound;
    } cases[] = {
        {"empty meshes", repeated3ds(emptymesh, cubeobject, kPad), 1, 0, 1 * MB},
        {"empty face lists", file3ds(meshobject(g)), 1, 1, 1 * MB},
        {"one mesh repeated", repeated3ds(cubeobject, "", kPad), kMaxMeshes3ds, 0,
         3 * sizeof(mesh3ds) * kMaxMeshes3ds + 1 * MB},
    };
    for (Case& k : cases) {
        allochooks::reset();
        {
            model3ds model;
            read3ds(reinterpret_cast<const unsigned char*>(k.file.data()), k.file.size(), model);
            EXPECT_EQ(model.nmesh, k.meshes) << k.name;
            EXPECT_EQ(model.ngroup, k.groups) << k.name;
            if (k.meshes == 1) {
                EXPECT_EQ(model.meshes[0].nface, 12u) << k.name;
                clearglcalls();
                draw3ds(model, 100, "box", "", "");
                EXPECT_EQ(faces(), 12u) << k.name;
                clearglcalls();
            }
        }
        printf("%-20s %4zu MB file, peak %zu KB\n", k.name, k.file.size() / MB, allochooks::peak() / 1024);
        EXPECT_LE(allochooks::peak(), k.bound) << k.name;
        std::string().swap(k.file);
    }
}

// An OBJ file padded past 100 MB (blank lines, a comment line, zeros after
// the model) costs the record and nothing more: the file is mapped, not
// copied. The model repeated past the capacity fills it and costs nothing
// more either.
TEST(ReaderBounds, ObjMemoryIsTheRecordAlone) {
    TempFolder folder("tolvane-bounds");
    const std::string model = "v 0 0 0\nv 1 0 0\nv 0 1 0\nvn 0 0 1\nf 1//1 2//1 3//1\n";
    std::string padded = std::string(kPad / 2, '\n') + "# " + std::string(kPad / 4, ' ') + "\n" + model +
                         std::string(kPad / 4, '\0');
    std::string path = folder.write("padded.obj", padded);
    std::string().swap(padded);
    std::string repeated;
    while (repeated.size() < kPad) repeated += model;
    std::string repeatedpath = folder.write("repeated.obj", repeated);
    std::string().swap(repeated);

    QuietBoxes quiet;
    clearglcalls();
    allochooks::reset();
    EXPECT_EQ(loadobjsize(path.c_str(), "", "", 100), 1);
    const size_t drawn = faces();
    printf("padded.obj   %zu MB file, peak %zu KB\n", size_t(kPad / MB), allochooks::peak() / 1024);
    EXPECT_LE(allochooks::peak(), sizeof(obj_type) + 1 * MB);
    EXPECT_GE(allochooks::peak(), sizeof(obj_type));  // the record is counted
    EXPECT_EQ(drawn, 1u);
    EXPECT_EQ(boxes, 0);
    clearglcalls();

    obj_type* obj = static_cast<obj_type*>(calloc(1, sizeof(obj_type)));
    ASSERT_NE(obj, nullptr);
    allochooks::reset();
    EXPECT_EQ(Loadobj(obj, &repeatedpath[0]), 1);
    printf("repeated.obj %zu MB file, peak %zu KB\n", size_t(kPad / MB), allochooks::peak() / 1024);
    EXPECT_LE(allochooks::peak(), 1 * MB);
    EXPECT_EQ(obj->nface, OBJ_MAXELEMENTS);
    free(obj);
}

// Each allocation of an entry point's call failed in turn, then every one
// above a size: the call returns 1, a failed record shows the entry's
// notice, nothing throws and nothing leaks (the leak checker runs at exit).
TEST(ReaderBounds, EveryFailedAllocationEndsInTheEntrysResult) {
    TempFolder folder("tolvane-bounds");
    const std::string obj = folder.write("m.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nf 1/1 2/1 3/1\nusemtl wood\nf 3 2 1\n");
    const std::string tds = folder.write("m.3ds", cubefile());
    QuietBoxes quiet;
    struct Entry {
        const char* name;
        int (*call)(const std::string& path);
        const std::string* path;
    } entries[] = {
        {"loadobjsize", [](const std::string& p) { return loadobjsize(p.c_str(), "wood 3", "", 50); }, &obj},
        {"loadobj2", [](const std::string& p) { return loadobj2(p.c_str()); }, &obj},
        {"load3DSsize", [](const std::string& p) { return load3DSsize(p.c_str(), "boxwood 3", "", 50); }, &tds},
    };
    for (const Entry& e : entries) {
        clearglcalls();
        allochooks::reset();
        boxes = 0;
        ASSERT_EQ(e.call(*e.path), 1) << e.name;
        const size_t allocations = allochooks::count();
        const std::string good = glshape();
        ASSERT_FALSE(good.empty()) << e.name;
        ASSERT_EQ(boxes, 0) << e.name;
        printf("%-12s %zu allocations\n", e.name, allocations);
        for (size_t n = 1; n <= allocations + 1; ++n) {
            for (int how = 0; how < 2; ++how) {
                clearglcalls();
                glcalls().reserve(4096);  // the recorder's own room, before failures
                allochooks::reset();
                boxes = 0;
                if (how == 0)
                    allochooks::failnth(n);
                else
                    allochooks::failabove(n * 64);
                int result = 0;
                EXPECT_NO_THROW(result = e.call(*e.path)) << e.name << " " << n;
                allochooks::failnth(0);
                allochooks::failabove(0);
                EXPECT_EQ(result, 1) << e.name << " " << n;
                // Either the model was drawn whole, or a notice said why
                // not, or (harlith drops what it has no room for) less.
                if (boxes) {
                    EXPECT_STREQ(lasttitle, e.name);
                } else if (glshape() != good) {
                    EXPECT_STREQ(e.name, "load3DSsize") << n;
                }
            }
        }
        allochooks::reset();
        clearglcalls();
    }
}
