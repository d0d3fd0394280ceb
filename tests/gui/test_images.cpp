// Image files and notices: the decoder beside the program (or missing), the
// system's BMP loader, the size probe, and real message boxes.
#include "gl_testing.h"
#include "gui_internals.h"
#include "gui_testing.h"
#include "modal_watcher.h"

#include <cstdio>
#include <cstring>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace {

// A w x h JPEG: left half red, right half blue.
std::string writejpeg(const std::string& path, int w, int h) {
    std::vector<unsigned char> rgb(static_cast<size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned char* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
            p[0] = x < w / 2 ? 255 : 0;
            p[2] = x < w / 2 ? 0 : 255;
        }
    EXPECT_NE(stbi_write_jpg(path.c_str(), w, h, 3, rgb.data(), 95), 0);
    return path;
}

// A 24-bit bottom-up BMP, all pixels one colour.
std::string writebmp(const std::string& path, int w, int h, COLORREF colour) {
    uint32_t rgb = (uint32_t(GetRValue(colour)) << 16) | (uint32_t(GetGValue(colour)) << 8) | GetBValue(colour);
    std::string written = writebmp24(path, w, h, std::vector<uint32_t>(static_cast<size_t>(w) * h, rgb));
    EXPECT_EQ(GetFileAttributesA(written.c_str()) == INVALID_FILE_ATTRIBUTES, false);
    return written;
}

void writetext(const std::string& path, const char* text) {
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fputs(text, f);
    std::fclose(f);
}

std::string seenname;
const bool seenreset = resetbeforeeachtest([] { seenname.clear(); });
HBITMAP recordingloader(int, const char* name) {
    seenname = name;
    return nullptr;
}

}  // namespace

TEST_F(GuiTest, ProbingFindsTheBitmapSizeUpToItsLimits) {
    struct Case { int w, h, ew, eh; } cases[] = {{640, 480, 640, 480}, {9000, 3000, 8000, 2000}, {1, 1, 1, 1},
                                                 {8000, 1999, 8000, 1999}};
    for (const Case& c : cases) {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = c.w;
        bi.bmiHeader.biHeight = c.h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        ASSERT_NE(bitmap, nullptr) << c.w;
        EXPECT_EQ(guibitmapbits(bitmap), bits);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bitmap);
        int w = 0, h = 0;
        guiprobesize(dc, w, h);
        EXPECT_EQ(w, c.ew) << c.w << "x" << c.h;
        EXPECT_EQ(h, c.eh) << c.w << "x" << c.h;
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    // A device-dependent bitmap has no bits of ours.
    HDC screen = GetDC(nullptr);
    HBITMAP ddb = CreateCompatibleBitmap(screen, 4, 4);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(guibitmapbits(ddb), nullptr);
    DeleteObject(ddb);
}

TEST_F(GuiTest, LoadimageDecodesThroughJpegDllBesideTheProgram) {
    if (GetFileAttributesA((guiprogramdir() + "/jpeg.dll").c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "jpeg.dll is not built beside the tests";
    ASSERT_NE(state.loader.library, nullptr);
    std::string dir = tempfolder("jpg");
    std::string jpg = writejpeg(dir + "\\picture.jpg", 40, 20);
    HBITMAP bitmap = guiloadimage(jpg);
    ASSERT_NE(bitmap, nullptr);
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 40);
    EXPECT_EQ(info.bmHeight, 20);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    int w = 0, h = 0;
    guiprobesize(dc, w, h);
    EXPECT_EQ(w, 40);
    EXPECT_EQ(h, 20);
    COLORREF left = GetPixel(dc, 5, 10), right = GetPixel(dc, 35, 10);
    EXPECT_GT(GetRValue(left), 200);
    EXPECT_LT(GetBValue(left), 60);
    EXPECT_GT(GetBValue(right), 200);
    EXPECT_LT(GetRValue(right), 60);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);

    // A file that exists but is no image: the decoder fails and says so.
    writetext(dir + "\\broken.jpg", "not a picture");
    EXPECT_EQ(guiloadimage(dir + "\\broken.jpg"), nullptr);
    ASSERT_EQ(notices().size(), 1u);
    EXPECT_EQ(notices()[0].title, "guiloadimage");
    EXPECT_EQ(notices()[0].text, "erreur loadimage :" + dir + "\\broken.jpg");
    // A missing file is skipped silently.
    EXPECT_EQ(guiloadimage(dir + "\\absent.jpg"), nullptr);
    EXPECT_EQ(notices().size(), 1u);
}

// guiclose unloads jpeg.dll; the reset that follows it in guiinit must leave
// the toolkit able to decode again, as a rebuilt viewer loads its textures.
TEST_F(GuiTest, AResetAfterAnOpenWindowKeepsTheDecoder) {
    if (GetFileAttributesA((guiprogramdir() + "/jpeg.dll").c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "jpeg.dll is not built beside the tests";
    guiopenwindow("main", "main", 0, 0, 200, 100, WS_OVERLAPPEDWINDOW, 0);
    guiinit();
    EXPECT_NE(state.loader.library, nullptr);
    std::string jpg = writejpeg(tempfolder("reset") + "\\picture.jpg", 8, 8);
    HBITMAP bitmap = guiloadimage(jpg);
    EXPECT_NE(bitmap, nullptr);
    EXPECT_TRUE(notices().empty());
    if (bitmap) DeleteObject(bitmap);
}

TEST_F(GuiTest, WithoutJpegDllEveryExistingImageIsReported) {
    // Drop the library bound at start-up and bind again from a folder that
    // has no jpeg.dll, as a program installed without it would.
    guiclose("nomsg");
    ASSERT_EQ(GetModuleHandleA("jpeg.dll"), nullptr);
    std::string dir = tempfolder("nodll");
    std::string jpg = writejpeg(dir + "\\picture.jpg", 16, 16);
    state.program.progdir = dir;
    guibindimageloader();
    EXPECT_EQ(state.loader.library, nullptr);
    ASSERT_NE(state.loader.load, nullptr);

    EXPECT_EQ(guiloadimage(jpg), nullptr);
    ASSERT_EQ(notices().size(), 1u);
    EXPECT_EQ(notices()[0].title, "guiloadimage");
    EXPECT_EQ(notices()[0].text, "erreur loadimage :" + jpg);
    // BMP files still load through the system.
    HBITMAP bmp = guiloadbmpdib(writebmp(dir + "\\plain.bmp", 7, 5, RGB(10, 200, 30)));
    ASSERT_NE(bmp, nullptr);
    EXPECT_NE(guibitmapbits(bmp), nullptr);
    DeleteObject(bmp);
    EXPECT_EQ(notices().size(), 1u);
}

TEST_F(GuiTest, LoadimagePassesAtMost250CharactersToTheDecoder) {
    std::string dir = tempfolder("long");
    std::string name = dir + "\\";
    name += std::string(253 - name.size(), 'n') + ".jpg";   // 257 characters
    ASSERT_EQ(name.size(), 257u);
    writetext(name, "x");
    ASSERT_TRUE(guicore::fileexists(name));
    state.loader.load = recordingloader;
    EXPECT_EQ(guiloadimage(name), nullptr);
    EXPECT_EQ(seenname, name.substr(0, 250));
    ASSERT_EQ(notices().size(), 1u);
    EXPECT_EQ(notices()[0].text, "erreur loadimage :" + name);
    DeleteFileA(name.c_str());
}

TEST_F(GuiTest, LoadbmpdibReportsAFileItCannotRead) {
    std::string dir = tempfolder("bmp");
    HBITMAP good = guiloadbmpdib(writebmp(dir + "\\good.bmp", 9, 4, RGB(1, 2, 3)));
    ASSERT_NE(good, nullptr);
    BITMAP info = {};
    GetObjectA(good, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 9);
    EXPECT_EQ(info.bmHeight, 4);
    DeleteObject(good);
    EXPECT_EQ(guiloadbmpdib(dir + "\\absent.bmp"), nullptr);
    EXPECT_TRUE(notices().empty());
    writetext(dir + "\\bad.bmp", "BMnonsense");
    EXPECT_EQ(guiloadbmpdib(dir + "\\bad.bmp"), nullptr);
    ASSERT_EQ(notices().size(), 1u);
    EXPECT_EQ(notices()[0].title, "guiloadbmpdib");
    EXPECT_EQ(notices()[0].text, "erreur loadbmp :" + dir + "\\bad.bmp");
}

TEST_F(GuiTest, NoticesGoThroughTheHookWithTheirFlags) {
    guinotice("text", "title");
    std::string answer;
    guiconfirm("sure?", "ask", answer);
    ASSERT_EQ(notices().size(), 2u);
    EXPECT_EQ(notices()[0].flags, static_cast<unsigned>(MB_OK | MB_TASKMODAL));
    EXPECT_EQ(notices()[1].flags, static_cast<unsigned>(MB_OKCANCEL | MB_TASKMODAL));
    EXPECT_EQ(answer, "yes");
    // Setting a hook hands back the previous one.
    EXPECT_EQ(guisetnoticehook(nullptr), &recordnotice);
}

TEST_F(GuiTest, ARealNoticeBoxIsShownAndDismissed) {
    guisetnoticehook(nullptr);
    ModalWatcher watcher;
    guinotice("the model could not be read", "guiloadimage");
    std::string answer = "unset";
    watcher.answer(IDCANCEL);
    guiconfirm("replace the file?", "confirm", answer);
    EXPECT_EQ(answer, "no");
    guiconfirm("really?", "confirm", answer);
    EXPECT_EQ(answer, "yes");

    std::vector<SeenBox> seen = watcher.seen();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].title, "guiloadimage");
    EXPECT_EQ(seen[0].text, "the model could not be read");
    EXPECT_EQ(seen[1].title, "confirm");
    EXPECT_EQ(seen[1].text, "replace the file?");
    EXPECT_EQ(seen[2].answered, IDOK);
    EXPECT_TRUE(notices().empty());
}
