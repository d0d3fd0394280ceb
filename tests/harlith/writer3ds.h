// A small writer of 3DS files for the tests: chunks are built bottom-up as
// byte strings, so a test can put anything anywhere, including damage.
#ifndef TESTS_HARLITH_WRITER3DS_H
#define TESTS_HARLITH_WRITER3DS_H

#include <cstdint>
#include <string>
#include <vector>

struct Vec3 {
    float x, y, z;
};
struct Tri {
    uint16_t a, b, c;
};
struct UV {
    float u, v;
};

std::string u16le(unsigned v);
std::string u32le(uint32_t v);
std::string f32le(float v);

// id, length (header included), body.
std::string chunk(unsigned id, const std::string& body);

std::string vertexlist(const std::vector<Vec3>& v);
std::string mappinglist(const std::vector<UV>& uv);
// Faces (flags 7) followed by their material groups.
std::string facelist(const std::vector<Tri>& f, const std::string& groups = "");
std::string materialgroup(const std::string& name, const std::vector<uint16_t>& faces);
// The local frame: X, Y, Z axes and origin.
std::string localframe(const float axes[12]);

struct MeshSpec {
    std::string name;
    std::vector<Vec3> vertices;
    std::vector<Tri> faces;
    std::vector<UV> mapping;       // empty: no mapping chunk
    std::string groups;            // material group chunks of the face list
    std::string extra;             // more chunks inside the mesh (unknown ones, ...)
};

// An object chunk holding one triangle mesh: vertices, a local frame with
// the identity axes, faces, mapping coordinates when given, extra.
std::string meshobject(const MeshSpec& m);

// A whole file: main chunk with a version, editor chunk with a mesh
// version, then the given editor content.
std::string file3ds(const std::string& editorcontent);

// A cube of side 2*half centred at the origin, twelve outward triangles.
MeshSpec cube(float half);

#endif
