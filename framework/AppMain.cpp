#include <windows.h>

#include "framework/WinApp.h"

// The program's entry point: the application object was constructed during static
// initialisation; its instance initialisation decides whether a message loop follows.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    CWinApp* app = CurrentApp();
    if (!app) return 1;
    try {
        if (!app->InitInstance()) return app->ExitInstance();
        return app->Run();
    } catch (...) {
        return 1;
    }
}
