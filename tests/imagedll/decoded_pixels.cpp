#include "decoded_pixels.h"

std::string exe_dir() {
    char path[MAX_PATH] = {0};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s = path;
    return s.substr(0, s.find_last_of("\\/") + 1);
}

LoadImageFileFn loader() {
    static HMODULE dll = LoadLibraryA((exe_dir() + "jpeg.dll").c_str());
    if (!dll) return nullptr;
    return reinterpret_cast<LoadImageFileFn>(reinterpret_cast<void*>(GetProcAddress(dll, "LoadImageFile")));
}

Pixels read_dib(HBITMAP bmp) {
    Pixels px;
    DIBSECTION ds;
    if (GetObjectA(bmp, sizeof ds, &ds) != int(sizeof ds)) return px;  // not a DIB section
    px.w = ds.dsBm.bmWidth;
    px.h = ds.dsBm.bmHeight;
    px.bits = ds.dsBm.bmBitsPixel;
    if (px.bits != 32 || !ds.dsBm.bmBits) return px;
    const bool bottom_up = ds.dsBmih.biHeight > 0;
    const auto* rows = static_cast<const uint32_t*>(ds.dsBm.bmBits);
    for (int y = 0; y < px.h; ++y) {
        const uint32_t* row = rows + size_t(bottom_up ? px.h - 1 - y : y) * px.w;
        px.argb.insert(px.argb.end(), row, row + px.w);
    }
    return px;
}
