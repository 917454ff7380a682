// A stand-in library of the installation: it only carries a version
// resource for the census to read.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}
