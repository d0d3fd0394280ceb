// Writes the 3DS benchmark file: four objects of 25,000 triangles each (a
// 3DS face list holds at most 65,535), 100,000 faces in all, a wavy grid
// with mapping coordinates and one material group per mesh.
#include <cmath>
#include <cstdio>

#include "writer3ds.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s OUT.3ds\n", argv[0]);
        return 2;
    }
    const int across = 125, down = 100;  // quads per mesh: 2 * 125 * 100 = 25,000 faces
    std::string objects;
    for (int k = 0; k < 4; ++k) {
        MeshSpec m;
        m.name = "grid" + std::to_string(k);
        std::vector<uint16_t> all;
        for (int y = 0; y <= down; ++y)
            for (int x = 0; x <= across; ++x) {
                float px = float(x) + k * 130.0f, py = float(y);
                m.vertices.push_back({px, py, float(std::sin(px * 0.1) * std::cos(py * 0.13) * 5)});
                m.mapping.push_back({float(x) / across, float(y) / down});
            }
        for (int y = 0; y < down; ++y)
            for (int x = 0; x < across; ++x) {
                uint16_t a = uint16_t(y * (across + 1) + x), b = uint16_t(a + 1);
                uint16_t c = uint16_t(a + across + 1), d = uint16_t(c + 1);
                m.faces.push_back({a, b, d});
                m.faces.push_back({a, d, c});
            }
        for (size_t f = 0; f < m.faces.size(); ++f) all.push_back(uint16_t(f));
        m.groups = materialgroup("paint" + std::to_string(k), all);
        objects += meshobject(m);
    }
    std::string bytes = file3ds(objects);
    FILE* f = fopen(argv[1], "wb");
    if (!f || fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || fclose(f) != 0) {
        fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    printf("%s: 100000 faces, %zu bytes\n", argv[1], bytes.size());
    return 0;
}
