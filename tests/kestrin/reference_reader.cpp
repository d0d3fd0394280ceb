#include "reference_reader.h"

#include <cstring>

namespace {

// val of one corner component, a relative index made absolute against the
// elements read so far (0 when it points before the first one).
int refindex(char* text, int count) {
    int v = val(text);
    if (v < 0) {
        long long r = (long long)count + 1 + v;
        return r < 1 ? 0 : int(r);
    }
    return min(OBJ_MAXELEMENTS, v);
}

bool is(char* word, const char* key) { return strcmp(word, key) == 0; }

}  // namespace

int refloadobj(obj_type* obj, char* filename) {
    char* base = instrrev$(filename, "\\");
    char* cutname = leftc$(base, len(base) - 4);
    obj->prefix = wordc$(cutname, 1);
    if (test == 1) notice(strc$("prefix$=", cutname));

    FILE* file = open(filename, "r");
    if (!file) return 0;
    int vertices = 0, normals = 0, texcoords = 0, faces = 0, materials = 0;
    while (!eof(file) && !error(file)) {
        char* line = input$(file);
        char* key = lowerc$(firstwordc$(line));
        char* p = nextwordc$(line);
        if (is(key, "v")) {
            vertices = min(OBJ_MAXELEMENTS, vertices + 1);
            obj->vertex[vertices][0] = fval(firstwordc$(p));
            p = nextwordc$(p);
            obj->vertex[vertices][1] = fval(firstwordc$(p));
            p = nextwordc$(p);
            obj->vertex[vertices][2] = fval(firstwordc$(p));
        } else if (is(key, "vn")) {
            normals = min(OBJ_MAXELEMENTS, normals + 1);
            obj->normal[normals][0] = fval(firstwordc$(p));
            p = nextwordc$(p);
            obj->normal[normals][1] = fval(firstwordc$(p));
            p = nextwordc$(p);
            obj->normal[normals][2] = fval(firstwordc$(p));
        } else if (is(key, "vt")) {
            texcoords = min(OBJ_MAXELEMENTS, texcoords + 1);
            obj->texcoord[texcoords][0] = fval(firstwordc$(p));
            p = nextwordc$(p);
            obj->texcoord[texcoords][1] = fval(firstwordc$(p));
        } else if (is(key, "f")) {
            faces = min(OBJ_MAXELEMENTS, faces + 1);
            face_type& f = obj->face[faces];
            char* corner = firstwordc$(p);
            f.vi[0] = refindex(wordc$(corner, 1, "/"), vertices);
            f.ti[0] = refindex(wordc$(corner, 2, "/"), texcoords);
            f.ni[0] = refindex(wordc$(corner, 3, "/"), normals);
            for (int j = 1; j < 3; ++j) {
                p = nextwordc$(p);
                corner = firstwordc$(p);
                f.vi[j] = refindex(wordc$(corner, 1, "/"), vertices);
                f.ti[j] = refindex(wordc$(corner, 2, "/"), texcoords);
            }
            p = nextwordc$(p);
            if (*p == 0) {
                f.vi[3] = 0;
            } else {
                corner = firstwordc$(p);
                f.vi[3] = refindex(wordc$(corner, 1, "/"), vertices);
                f.ti[3] = refindex(wordc$(corner, 2, "/"), texcoords);
            }
        } else if (is(key, "usemtl")) {
            materials = min(OBJ_MAXMATERIALS, materials + 1);
            obj->matstart[materials] = faces;
            obj->matname[materials] = wordc$(wordc$(firstwordc$(p), 1, "\n"), 1, "\r");
        }
    }
    close(file);
    obj->matstart[min(OBJ_MAXMATERIALS, materials + 1)] = faces + 999;
    obj->matstart[0] = 0;
    obj->nvertex = vertices;
    obj->nface = faces;
    obj->ntexcoord = texcoords;
    obj->nnormal = normals;
    return 1;
}
