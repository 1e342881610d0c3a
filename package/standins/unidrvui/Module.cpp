#include <windows.h>

// The spooler loads the configuration DLL into many processes and keeps it loaded; it
// needs no per-thread set-up.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
    return TRUE;
}
