// The toolkit loads jpeg.dll at start-up and after every reset, and unloads
// it whenever it closes its windows, so one viewer session loads it many
// times. The C++ runtime linked into the DLL keeps an emergency buffer for
// exceptions (about 70 KB) that it never frees by itself: handed back here
// when the DLL is unloaded, or each reload would leave one behind.
#include <windows.h>

namespace __gnu_cxx {
void __freeres() noexcept;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    // Only on FreeLibrary (reserved is null): at process exit nothing needs
    // freeing and other threads may still be running.
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) __gnu_cxx::__freeres();
    return TRUE;
}
