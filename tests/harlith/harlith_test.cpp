// harlith's 3DS reading and drawing through the recording OpenGL: checked
// against lib3ds on the same files, against kestrin on the same mesh as an
// OBJ, and on damaged files under the sanitizers.
#include <gtest/gtest.h>
#include <lib3ds/file.h>
#include <lib3ds/mesh.h>

#include <GL/gl.h>
#include <unistd.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "harlith.h"
#include "kestrin.h"
#include "model3ds.h"
#include "objtype.h"
#include "platform.h"
#include "recording_gl.h"
#include "temp_folder.h"
#include "writer3ds.h"

namespace {

// Files in a folder of their own, removed with it.
class Files {
public:
    std::string write(const std::string& name, const std::string& bytes) {
        std::string path = folder_.path(name);
        FILE* f = fopen(path.c_str(), "wb");
        EXPECT_TRUE(f != nullptr) << path;
        if (f) {
            fwrite(bytes.data(), 1, bytes.size(), f);
            fclose(f);
        }
        return path;
    }
    std::string dir() const { return folder_.dir() + "/"; }

private:
    TempFolder folder_{"harlith-test"};
};

uint32_t bits(float f) {
    uint32_t u;
    memcpy(&u, &f, 4);
    return u;
}

float f32(double x) {
    volatile float f = float(x);
    return f;
}

// What a host should see for one triangle: positions and texture
// coordinates of its three corners, in order.
struct Corner {
    float x, y, z, u, v;
};

// The corners of every face drawn, from the recorded calls; also checks
// that every face is one well-formed block (begin, normal, three corners, end).
std::vector<Corner> drawncorners() {
    std::vector<Corner> out;
    const std::vector<GlCall>& calls = glcalls();
    float u = 0, v = 0;
    size_t i = 0;
    while (i < calls.size()) {
        if (calls[i].kind == GlCall::BindTexture) {
            ++i;
            continue;
        }
        EXPECT_EQ(calls[i].kind, GlCall::Begin);
        EXPECT_EQ(calls[i].mode, unsigned(GL_TRIANGLES));
        EXPECT_LT(i + 8, calls.size() + 0) << "a face cut short";
        if (i + 8 >= calls.size() + 1) break;
        EXPECT_EQ(calls[i + 1].kind, GlCall::Normal);
        for (int k = 0; k < 3; ++k) {
            const GlCall& t = calls[i + 2 + 2 * k];
            const GlCall& p = calls[i + 3 + 2 * k];
            EXPECT_EQ(t.kind, GlCall::TexCoord);
            EXPECT_EQ(p.kind, GlCall::Vertex);
            u = t.v[0], v = t.v[1];
            out.push_back({p.v[0], p.v[1], p.v[2], u, v});
        }
        EXPECT_EQ(calls[i + 8].kind, GlCall::End);
        i += 9;
    }
    return out;
}

// Positions always; texture coordinates unless they were generated from a
// radius estimate that differs between the two.
void expectsame(const std::vector<Corner>& got, const std::vector<Corner>& want, bool texcoords = true) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(bits(got[i].x), bits(want[i].x)) << "corner " << i;
        EXPECT_EQ(bits(got[i].y), bits(want[i].y)) << "corner " << i;
        EXPECT_EQ(bits(got[i].z), bits(want[i].z)) << "corner " << i;
        if (!texcoords) continue;
        EXPECT_EQ(bits(got[i].u), bits(want[i].u)) << "corner " << i;
        EXPECT_EQ(bits(got[i].v), bits(want[i].v)) << "corner " << i;
    }
}

// The same drawing worked out from lib3ds's reading of the file: the radius
// estimate over its points in order, its faces and texels.
std::vector<Corner> fromlib3ds(const std::string& path, int size) {
    std::vector<Corner> out;
    Lib3dsFile* file = lib3ds_file_load(path.c_str());
    EXPECT_TRUE(file != nullptr) << "lib3ds cannot read " << path;
    if (!file) return out;
    float r = 0.001f;
    for (Lib3dsMesh* m = file->meshes; m; m = m->next)
        for (unsigned i = 0; i < m->points; ++i)
            for (int c = 0; c < 3; ++c) {
                float a = m->pointL[i].pos[c];
                float half = f32(0.5 * double(r) + 0.5 * double(a < 0 ? -a : a));
                if (half > r) r = half;
            }
    float s = size >= 1 ? f32(double(size) / double(r)) : 1.0f, ts = f32(1.0f / r);
    for (Lib3dsMesh* m = file->meshes; m; m = m->next)
        for (unsigned f = 0; f < m->faces; ++f)
            for (int k = 0; k < 3; ++k) {
                unsigned i = m->faceL[f].points[k];
                const float* p = m->pointL[i].pos;
                Corner c = {p[0] * s, p[1] * s, p[2] * s, p[0] * ts, p[1] * ts};
                if (i < m->texels) c.u = m->texelL[i][0], c.v = m->texelL[i][1];
                out.push_back(c);
            }
    lib3ds_file_free(file);
    return out;
}

// Three meshes named in file order (lib3ds keeps its meshes sorted by name):
// a cube with mapping coordinates, a fan without, with material groups and
// unknown chunks of odd lengths, and a mirrored one.
std::string threemeshes() {
    MeshSpec a = cube(12.5f);
    a.name = "a";
    for (const Vec3& p : a.vertices) a.mapping.push_back({p.x / 25 + 0.5f, p.z / 25 + 0.5f});
    a.extra = chunk(0x4150, std::string(5, '\x11'));  // smoothing groups, skipped

    MeshSpec b;
    b.name = "b";
    for (int i = 0; i < 9; ++i) b.vertices.push_back({float(i * 3 - 40), float((i * 7) % 5) - 2.25f, float(i) * 0.75f});
    for (uint16_t i = 1; i + 1 < 9; ++i) b.faces.push_back({0, i, uint16_t(i + 1)});
    b.groups = materialgroup("Skin", {0, 2, 4}) + chunk(0x4150, std::string(3, '\x22'));
    b.extra = chunk(0xA000, "odd");

    std::string mirrored;
    {
        // Axes x and y swapped (determinant -1), origin (2, 3, 0).
        const float frame[12] = {0, 1, 0, 1, 0, 0, 0, 0, 1, 2, 3, 0};
        std::vector<Vec3> v = {{1, 2, 3}, {5, -6, 7}, {-8, 9, 10.5f}, {60, 1, 1}};
        std::string mesh = vertexlist(v) + localframe(frame) + facelist({{0, 1, 2}, {1, 3, 2}});
        mirrored = chunk(0x4000, std::string("c") + '\0' + chunk(0x4100, mesh));
    }
    return file3ds(meshobject(a) + chunk(0x1234, "seven!!") + meshobject(b) + chunk(0xAFFF, std::string(1, 'x')) +
                   mirrored);
}

std::vector<Corner> drawfile(const std::string& path, int size, const char* textlist = "", const char* deftext = "") {
    clearglcalls();
    EXPECT_EQ(load3DSsize(path.c_str(), textlist, deftext, size), 1);
    return drawncorners();
}

// read3ds and draw3ds on exactly these bytes in their own heap block, so the
// sanitizer sees any read past them.
std::vector<Corner> drawbytes(const std::string& bytes, int size) {
    unsigned char* copy = static_cast<unsigned char*>(malloc(bytes.size() ? bytes.size() : 1));
    memcpy(copy, bytes.data(), bytes.size());
    clearglcalls();
    {
        model3ds model;
        read3ds(copy, bytes.size(), model);
        draw3ds(model, size, "x", "", "");
    }
    free(copy);
    return drawncorners();
}

// Call for call and bit for bit (a NaN compares by its bits too).
void expectsamecalls(const std::vector<GlCall>& got, const std::vector<GlCall>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].kind, want[i].kind) << i;
        for (int c = 0; c < 3; ++c) EXPECT_EQ(bits(got[i].v[c]), bits(want[i].v[c])) << i;
    }
}

class Harlith : public ::testing::Test {
protected:
    void SetUp() override { clearglcalls(); }
    Files files;
    BoxRecorder boxes;
};

TEST_F(Harlith, SameMeshesFacesAndTextureCoordinatesAsLib3ds) {
    std::string path = files.write("three.3ds", threemeshes());
    for (int size : {150, 0}) {
        std::vector<Corner> got = drawfile(path, size);
        EXPECT_EQ(got.size(), (12 + 7 + 2) * 3u);
        expectsame(got, fromlib3ds(path, size));
    }
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(Harlith, TheSameMeshAsAnObjFileComesOutExactlyAsKestrinDrawsIt) {
    MeshSpec m = cube(30);
    m.vertices.push_back({95.5f, -0.25f, 4});  // the far vertex sets the scale
    m.faces.push_back({0, 8, 1});
    std::string obj;
    char line[128];
    for (const Vec3& p : m.vertices) snprintf(line, sizeof line, "v %g %g %g\n", p.x, p.y, p.z), obj += line;
    for (const Tri& t : m.faces) snprintf(line, sizeof line, "f %d %d %d\n", t.a + 1, t.b + 1, t.c + 1), obj += line;
    std::string objpath = files.write("same.obj", obj);
    std::string path = files.write("same.3ds", file3ds(meshobject(m)));

    clearglcalls();
    loadobjsize(objpath.c_str(), "", "", 150);
    std::vector<GlCall> fromkestrin = glcalls();
    clearglcalls();
    load3DSsize(path.c_str(), "", "", 150);
    std::vector<GlCall> fromharlith = glcalls();
    ASSERT_EQ(fromharlith.size(), 13 * 9u);
    expectsamecalls(fromharlith, fromkestrin);
    // Outward normals: each face's normal points away from the centre.
    std::vector<Corner> corners = drawncorners();
    for (size_t f = 0; f < 12; ++f) {
        const GlCall& n = glcalls()[f * 9 + 1];
        float cx = 0, cy = 0, cz = 0;
        for (int k = 0; k < 3; ++k) cx += corners[f * 3 + k].x, cy += corners[f * 3 + k].y, cz += corners[f * 3 + k].z;
        EXPECT_GT(n.v[0] * cx + n.v[1] * cy + n.v[2] * cz, 0) << "face " << f;
    }
}

// A NaN coordinate (a 3DS file's floats are raw bits) takes the radius
// estimate as kestrin's rule does for the same mesh: r becomes NaN and so
// does every scaled vertex. harlith used to pass over a NaN coordinate.
TEST_F(Harlith, ANanCoordinateTakesTheRadiusAsKestrinsRuleDoes) {
    MeshSpec m = cube(2);
    m.vertices.push_back({NAN, 1, 1});  // in no face: only the radius sees it
    std::string path = files.write("nan.3ds", file3ds(meshobject(m)));
    obj_type* obj = static_cast<obj_type*>(calloc(1, sizeof(obj_type)));
    ASSERT_NE(obj, nullptr);
    for (size_t i = 0; i < m.vertices.size(); ++i) {
        float* v = obj->vertex[i + 1];
        v[0] = m.vertices[i].x, v[1] = m.vertices[i].y, v[2] = m.vertices[i].z;
    }
    obj->nvertex = int(m.vertices.size());
    for (size_t i = 0; i < m.faces.size(); ++i) {
        int32_t* vi = obj->face[i + 1].vi;
        vi[0] = m.faces[i].a + 1, vi[1] = m.faces[i].b + 1, vi[2] = m.faces[i].c + 1;
    }
    obj->nface = int(m.faces.size());

    int kept = size;
    size = 150;
    clearglcalls();
    drawobj(obj, "", "");
    std::vector<GlCall> fromkestrin = glcalls();
    size = kept;
    free(obj);
    clearglcalls();
    load3DSsize(path.c_str(), "", "", 150);
    ASSERT_EQ(glcalls().size(), 12 * 9u);
    EXPECT_TRUE(std::isnan(glcalls()[3].v[0]));  // the first vertex
    expectsamecalls(glcalls(), fromkestrin);
}

TEST_F(Harlith, EveryTruncationDrawsTheWholeFacesBeforeTheCut) {
    std::string full = file3ds(meshobject(cube(1)) + meshobject(cube(2)));
    std::vector<Corner> all = drawbytes(full, 0);
    ASSERT_EQ(all.size(), 24 * 3u);
    size_t before = 0;
    for (size_t n = 0; n <= full.size(); ++n) {
        std::vector<Corner> part = drawbytes(full.substr(0, n), 0);
        ASSERT_LE(part.size(), all.size()) << "cut at " << n;
        ASSERT_GE(part.size(), before) << "cut at " << n;
        // At size 0 positions are the file's; generated texture coordinates
        // follow the radius of the vertices read so far.
        expectsame(part, std::vector<Corner>(all.begin(), all.begin() + long(part.size())), false);
        before = part.size();
    }
    // Every face appears once the cut passes its last byte.
    EXPECT_EQ(before, all.size());
}

TEST_F(Harlith, LyingCountsIndicesAndLengthsDrawOnlyWhatIsThere) {
    MeshSpec m = cube(5);
    std::string good = meshobject(m);
    // A vertex count of 1000 over 8 vertices; a face pointing at vertex 9.
    std::string v = vertexlist(m.vertices);
    v[6] = char(0xE8), v[7] = 0x03;
    std::vector<Tri> faces = m.faces;
    faces[3].b = 9;
    std::string lying = chunk(0x4000, std::string("l") + '\0' + chunk(0x4100, v + facelist(faces)));
    EXPECT_EQ(drawbytes(file3ds(lying), 0).size(), 11 * 3u);

    // A chunk shorter than its header ends its level: the mesh before it stays.
    std::string shortchunk = u16le(0x4000) + u32le(2);
    EXPECT_EQ(drawbytes(file3ds(good + shortchunk + good), 0).size(), 12 * 3u);

    // A main chunk claiming 4 GB is cut to the file.
    std::string huge = file3ds(good);
    huge.replace(2, 4, u32le(0xFFFFFFFF));
    EXPECT_EQ(drawbytes(huge, 0).size(), 12 * 3u);

    // An object name that never ends hides its mesh; a file that is not 3DS draws nothing.
    EXPECT_EQ(drawbytes(file3ds(chunk(0x4000, "nameless")), 0).size(), 0u);
    EXPECT_EQ(drawbytes("v 1 2 3\nf 1 1 1\n", 0).size(), 0u);

    // Mapping coordinates for fewer vertices than there are: the rest are generated.
    m.mapping = {{0.5f, 0.25f}};
    std::vector<Corner> c = drawbytes(file3ds(meshobject(m)), 0);
    ASSERT_EQ(c.size(), 36u);
    EXPECT_EQ(c[0].u, 0.5f);   // face 0 starts at vertex 0
    EXPECT_NE(c[1].u, 0.5f);   // vertex 2, generated from x
}

TEST_F(Harlith, DamagedBytesAnywhereNeverLeadOutsideTheFile) {
    MeshSpec b = cube(3);
    b.groups = materialgroup("m", {0, 1, 11});
    for (const Vec3& p : b.vertices) b.mapping.push_back({p.x, p.y});
    const std::string full = file3ds(meshobject(cube(1)) + meshobject(b));
    std::vector<Corner> all = drawbytes(full, 150);
    unsigned seed = 12345;
    for (int round = 0; round < 3000; ++round) {
        std::string bytes = full;
        for (int k = 0; k < 1 + round % 4; ++k) {
            seed = seed * 1103515245u + 12345u;
            bytes[(seed >> 8) % bytes.size()] = char(seed >> 20);
        }
        std::vector<Corner> got = drawbytes(bytes, 150);
        // No more faces than a u16 count allows per mesh list, all well formed.
        ASSERT_LE(got.size(), 2 * 65535 * 3u) << "round " << round;
    }
    EXPECT_EQ(all.size(), 24 * 3u);
}

TEST_F(Harlith, AnUnopenableFileShowsKestrinsNoticeOnceAndDrawsNothing) {
    std::string path = files.dir() + "missing.3ds";
    EXPECT_EQ(load3DSsize(path.c_str(), "", "", 150), 1);
    EXPECT_TRUE(glcalls().empty());
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].title, "notice");
    EXPECT_EQ(boxes.boxes[0].text, "error open file \r" + path);
    EXPECT_EQ(boxes.boxes[0].type, unsigned(KESTRIN_MB_OK | KESTRIN_MB_ICONINFORMATION));

    // Null texts are taken as empty; an empty file draws nothing, silently.
    EXPECT_EQ(load3DSsize(files.write("empty.3ds", "").c_str(), nullptr, nullptr, 150), 1);
    EXPECT_TRUE(glcalls().empty());
    EXPECT_EQ(boxes.boxes.size(), 1u);
}

TEST_F(Harlith, MaterialTexturesAreLookedUpInTheListAsKestrinDoes) {
    MeshSpec m = cube(1);
    m.faces.resize(4);
    m.groups = materialgroup("Skin", {1, 2});
    std::string path = files.write("doll.3ds", file3ds(meshobject(m)));
    std::string prefix = path.substr(0, path.size() - 4);  // no backslash: the folder stays

    // The whole key is lowered, the folder's part too (TMPDIR may have capitals).
    std::string key = prefix + "skin";
    for (char& c : key) c = char(tolower(static_cast<unsigned char>(c)));
    std::string list = "other 3 " + key + " 7 fallback 9";
    drawfile(path, 150, list.c_str(), "fallback");
    // Faces without a group take the key prefix (not listed, so the
    // fallback); the group's key is prefix + name in lower case.
    EXPECT_EQ(glshape(), "XBNTVTVTVE" "XBNTVTVTVE" "BNTVTVTVE" "XBNTVTVTVE");
    std::vector<unsigned> bound;
    for (const GlCall& c : glcalls())
        if (c.kind == GlCall::BindTexture) bound.push_back(c.name);
    EXPECT_EQ(bound, (std::vector<unsigned>{9, 7, 9}));

    // A ten-digit id reads as kestrin's val reads it, saturated to the int
    // range on every system (it overflowed a 32-bit long before).
    drawfile(path, 150, (key + " 4294967296").c_str(), "");
    bound.clear();
    for (const GlCall& c : glcalls())
        if (c.kind == GlCall::BindTexture) bound.push_back(c.name);
    EXPECT_EQ(bound, (std::vector<unsigned>{2147483647u}));

    // Nothing listed under any key: nothing bound, the host's texture stays.
    drawfile(path, 150, "other 3", "");
    EXPECT_EQ(glshape().find('X'), std::string::npos);
    drawfile(path, 150, "", "");
    EXPECT_EQ(glshape().find('X'), std::string::npos);

    // A name after its last backslash of four characters or fewer gives an
    // empty prefix, so faces without a group have an empty key. It must not
    // match the end of the list and unbind the host's texture.
    std::string bare = files.write("a\\.3ds", file3ds(meshobject(cube(1))));
    drawfile(bare, 150, "tex 5", "");
    EXPECT_EQ(glshape().find('X'), std::string::npos);
    EXPECT_EQ(glshape().size(), 12 * 9u);
}

}  // namespace

// Offsets of every chunk header of a sound file, found by walking the chunk
// tree through the containers harlith enters.
void chunkheaders(const std::string& f, size_t from, size_t to, std::vector<size_t>& out) {
    auto u16at = [&](size_t i) { return size_t(uint8_t(f[i]) | uint8_t(f[i + 1]) << 8); };
    for (size_t at = from; at + 6 <= to;) {
        size_t id = u16at(at), length = u16at(at + 2) | u16at(at + 4) << 16;
        out.push_back(at);
        size_t body = at + 6;
        if (id == 0x4D4D || id == 0x3D3D || id == 0x4100) chunkheaders(f, body, at + length, out);
        if (id == 0x4000) chunkheaders(f, f.find('\0', body) + 1, at + length, out);
        if (id == 0x4120) chunkheaders(f, body + 2 + 8 * u16at(body), at + length, out);
        at += length;
    }
}

// A chunk length pointing past the end of the file, one byte past and 4 GB
// past, at every chunk header in turn: the chunk is cut to the file and
// draws at most what the file holds, and nothing is read outside it (the
// buffer is an exact-size copy).
TEST_F(Harlith, ChunkLengthsPointingPastTheFileAreCutToIt) {
    MeshSpec b = cube(3);
    b.groups = materialgroup("m", {0, 1, 11});
    for (const Vec3& p : b.vertices) b.mapping.push_back({p.x, p.y});
    const std::string full = file3ds(meshobject(cube(1)) + meshobject(b));
    const size_t all = drawbytes(full, 0).size();
    ASSERT_EQ(all, 24 * 3u);
    std::vector<size_t> headers;
    chunkheaders(full, 0, full.size(), headers);
    ASSERT_GE(headers.size(), 15u);
    for (size_t at : headers)
        for (uint32_t length : {uint32_t(full.size() - at + 1), 0xFFFFFFFFu}) {
            std::string bytes = full;
            bytes.replace(at + 2, 4, u32le(length));
            ASSERT_LE(drawbytes(bytes, 0).size(), all) << "at " << at;
        }
    EXPECT_TRUE(boxes.boxes.empty());
}
