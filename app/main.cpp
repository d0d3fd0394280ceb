// tolvane.exe: a GUI program that takes no arguments.
#include "viewer.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return viewermain(); }
