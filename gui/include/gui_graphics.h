// The toolkit's graphics: 32-bit bitmaps and OpenGL textures, the OpenGL
// graphic box with its text, and immediate-mode shape helpers. Texture
// names are plain unsigned ints so that callers need no GL header here.
#ifndef GUI_GUI_GRAPHICS_H
#define GUI_GUI_GRAPHICS_H

#include <windows.h>

#include <string>

struct GuiImage;

// ---- bitmaps and textures --------------------------------------------------
// A 32-bit bottom-up DIB section; take its pixels with guibitmapbits.
HBITMAP guicreatedib(int width, int height);
// Decodes an image file into a mipmapped texture the caller owns. Pixels
// darker (mode != 0) or brighter (mode 0) than 3 * threshold get the low
// byte of `alpha` ORed into their alpha; threshold 255 keys nothing.
// Returns 0 when the file does not exist. Leaves GL_TEXTURE_2D enabled.
unsigned int guiloadtexture(const std::string& path, int threshold, int alpha, int mode);
void guideletetexture(unsigned int texture);   // 0 is ignored
// Writes an image file into a raster image (null: the off-screen surface)
// at its own size (put) or scaled to the whole target (stretch). Mode 0
// replaces pixels brighter than 3 * key by `colour` (key 255: none); mode 1
// replaces pixels equal to `key`. Both return 0.
int guiputimage(GuiImage* target, const std::string& path, int key, unsigned int colour, int mode);
int guistretchimage(GuiImage* target, const std::string& path, int key, unsigned int colour, int mode);
void guibuffersize(const GuiImage* target, int& width, int& height);

// ---- the OpenGL graphic box ------------------------------------------------
// One binding for the whole program: a window or control named as in
// guifindname, its device context and a current rendering context.
void guistartopenGL(const std::string& name);
void guiswapopenGL();
void guistopopenGL();
// Glyph lists for guigltext: "gui_font.bmp" of the current directory, or
// Arial outlines. Each replaces the other; both need a bound context.
void guiglbmpfont();
void guiglarialfont();
// Draws up to 255 characters at the current position; each bitmap glyph is
// 0.7 wide and 1 high.
void guigltext(const std::string& text);

// ---- shape helpers ---------------------------------------------------------
// GLU quadrics, each with its own quadric object; the tex forms generate
// texture coordinates. The disks set the normal to (0, 0, 1).
void guiglsphere(double radius, int slices, int stacks);
void guiglspheretex(double radius, int slices, int stacks);
void guiglcylinder(double base, double top, double height, int slices, int stacks);
void guiglcylindertex(double base, double top, double height, int slices, int stacks);
void guigldisk(double inner, double outer, int slices, int loops);
void guigldisktex(double inner, double outer, int slices, int loops);
void guiglpartialdisk(double inner, double outer, double start, double sweep, int slices, int loops);
void guiglpartialdisktex(double inner, double outer, double start, double sweep, int slices, int loops);

// Flat quads; t (and s) is the texture coordinate reached at the far edges.
void guiglsquare(float a);
void guiglsquareyz(float a);
void guiglsquaretex(float a, float t);
void guiglwall(float w, float h, float t);
void guiglwallangle(float w, float h, float angle, float t);   // degrees
void guiglrectyz(float w, float d, float t);
void guiglrectxy(float w, float d, float t);
void guiglrectxyturned(float w, float d, float t);
void guiglquadtex(float x1, float y1, float z1, float x2, float y2, float z2, float x3, float y3, float z3,
                  float x4, float y4, float z4, float s, float t);
void guigltriangle(float x1, float y1, float z1, float x2, float y2, float z2, float x3, float y3, float z3);
void guigltriangletex(float x1, float y1, float z1, float x2, float y2, float z2, float x3, float y3,
                      float z3);
void guiglline(float x1, float y1, float z1, float x2, float y2, float z2);

// Four floats for calls such as glLightfv, in one static array per helper:
// the address lives as long as the program, the values until the next call.
float* guiglvector(float a, float b, float c, float d);
float* guiglvector2(float a, float b, float c, float d);

#endif
