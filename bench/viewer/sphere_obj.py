#!/usr/bin/env python3
"""Writes a UV sphere of 99,999 small triangles with texture coordinates and
normals: a model as a scanner or modeller would give it, for timing frames
(random triangles spanning the view would time only the rasteriser's fill).

    python3 sphere_obj.py OUT.obj
"""
import math
import sys

ROWS, COLS, FACES = 224, 224, 99999


def main():
    out = []
    for r in range(ROWS + 1):
        theta = math.pi * r / ROWS
        for c in range(COLS + 1):
            phi = 2 * math.pi * c / COLS
            x, y, z = math.sin(theta) * math.cos(phi), math.cos(theta), math.sin(theta) * math.sin(phi)
            out.append("v %.5f %.5f %.5f" % (100 * x, 100 * y, 100 * z))
            out.append("vt %.5f %.5f" % (c / COLS, 1 - r / ROWS))
            out.append("vn %.5f %.5f %.5f" % (x, y, z))
    faces = 0
    for r in range(ROWS):
        for c in range(COLS):
            a = r * (COLS + 1) + c + 1
            b, d, e = a + 1, a + COLS + 1, a + COLS + 2
            for tri in ((a, d, b), (b, d, e)):
                if faces < FACES:
                    out.append("f " + " ".join("%d/%d/%d" % (i, i, i) for i in tri))
                    faces += 1
    with open(sys.argv[1], "w") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
