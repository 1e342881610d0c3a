#include <windows.h>

// Stand-in for the package's DLLs that hold code or resources a real driver would
// bring (the Unidrv core Unidrv.dll, its resources Unires.dll, the model's resource
// DLL Z613.DLL): a module that loads and does nothing, so that every file the driver
// record names exists and loads.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
    return TRUE;
}
