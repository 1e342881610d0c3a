#include <objbase.h>
#include <windows.h>

// Stand-in for the rendering plug-in that GOEMUNI.ini names. Unidrv asks a plug-in for
// its class factory; this one offers none, so Unidrv renders with the model file alone.

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID, REFIID, LPVOID* object) {
    if (object != nullptr) *object = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" HRESULT WINAPI DllCanUnloadNow() {
    return S_OK;
}
