#include "writer3ds.h"

#include <cstring>

std::string u16le(unsigned v) { return std::string{char(v & 0xFF), char(v >> 8 & 0xFF)}; }
std::string u32le(uint32_t v) { return u16le(v & 0xFFFF) + u16le(v >> 16); }
std::string f32le(float v) {
    uint32_t u;
    memcpy(&u, &v, 4);
    return u32le(u);
}

std::string chunk(unsigned id, const std::string& body) { return u16le(id) + u32le(uint32_t(body.size() + 6)) + body; }

std::string vertexlist(const std::vector<Vec3>& v) {
    std::string b = u16le(unsigned(v.size()));
    for (const Vec3& p : v) b += f32le(p.x) + f32le(p.y) + f32le(p.z);
    return chunk(0x4110, b);
}

std::string mappinglist(const std::vector<UV>& uv) {
    std::string b = u16le(unsigned(uv.size()));
    for (const UV& t : uv) b += f32le(t.u) + f32le(t.v);
    return chunk(0x4140, b);
}

std::string facelist(const std::vector<Tri>& f, const std::string& groups) {
    std::string b = u16le(unsigned(f.size()));
    for (const Tri& t : f) b += u16le(t.a) + u16le(t.b) + u16le(t.c) + u16le(7);
    return chunk(0x4120, b + groups);
}

std::string materialgroup(const std::string& name, const std::vector<uint16_t>& faces) {
    std::string b = name + std::string(1, '\0') + u16le(unsigned(faces.size()));
    for (uint16_t i : faces) b += u16le(i);
    return chunk(0x4130, b);
}

std::string localframe(const float axes[12]) {
    std::string b;
    for (int i = 0; i < 12; ++i) b += f32le(axes[i]);
    return chunk(0x4160, b);
}

std::string meshobject(const MeshSpec& m) {
    static const float identity[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    std::string mesh = vertexlist(m.vertices) + localframe(identity) + facelist(m.faces, m.groups);
    if (!m.mapping.empty()) mesh += mappinglist(m.mapping);
    mesh += m.extra;
    return chunk(0x4000, m.name + std::string(1, '\0') + chunk(0x4100, mesh));
}

std::string file3ds(const std::string& editorcontent) {
    return chunk(0x4D4D, chunk(0x0002, u32le(3)) + chunk(0x3D3D, chunk(0x3D3E, u32le(3)) + editorcontent));
}

MeshSpec cube(float h) {
    MeshSpec m;
    m.name = "cube";
    for (int i = 0; i < 8; ++i) m.vertices.push_back({i & 1 ? h : -h, i & 2 ? h : -h, i & 4 ? h : -h});
    // Counter-clockwise seen from outside.
    m.faces = {{0, 2, 3}, {0, 3, 1}, {4, 5, 7}, {4, 7, 6}, {0, 1, 5}, {0, 5, 4},
               {2, 6, 7}, {2, 7, 3}, {0, 4, 6}, {0, 6, 2}, {1, 3, 7}, {1, 7, 5}};
    return m;
}
