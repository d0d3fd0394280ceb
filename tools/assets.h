// The generators of the bundled data files (tools/make_assets).
#ifndef TOOLS_ASSETS_H
#define TOOLS_ASSETS_H

// The default model as an OBJ file; step is the grid spacing in centimetres.
int writefigure(const char* path, double step);

// The crate face and the neutral model texture, as JPEG files.
int writecrate(const char* path);
int writeskin(const char* path);

// The window icon, 16x16 and 32x32, as an ICO file.
int writeicon(const char* path);

#endif
