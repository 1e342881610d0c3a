#pragma once

#include <windows.h>

#include <string>

class CWnd;

// The application object: one per process. The framework's entry point finds it, runs
// its instance initialisation and, when that says so, its message loop. It also owns
// the application-wide wait cursor and the application message box.
class CWinApp {
public:
    // Without a name the application is named after the program file (its base name).
    explicit CWinApp(const char* appName = nullptr);
    virtual ~CWinApp();

    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // FALSE ends the process at once (no message loop).
    virtual BOOL InitInstance();
    virtual int ExitInstance();
    virtual int Run();

    // Message-map lookup for commands no window handled (menu and accelerator IDs).
    virtual bool OnCmdMsg(UINT id);

    const std::string& AppName() const { return appName_; }

    // The registry key under which the framework would keep the program's settings.
    void SetRegistryKey(const char* company) { registryKey_ = company; }
    const std::string& RegistryKey() const { return registryKey_; }

    CWnd* MainWnd() const { return mainWnd_; }
    void SetMainWnd(CWnd* wnd) { mainWnd_ = wnd; }

    // The wait cursor nests: it stays until every Begin has had its End.
    void BeginWaitCursor();
    void EndWaitCursor();
    void RestoreWaitCursor();
    bool IsWaitCursorOn() const { return waitCursorCount_ > 0; }

    // The default help command: opens the program's help file.
    void OnHelp();

private:
    std::string appName_;
    std::string registryKey_;
    CWnd* mainWnd_ = nullptr;
    int waitCursorCount_ = 0;
};

// The process's application object, or nullptr before one exists.
CWinApp* CurrentApp();

// The application message box: captioned with the application's name; a plain OK box
// gets the exclamation icon.
int AppMessageBox(const std::string& text, UINT type = MB_OK);

// Shows the wait cursor for the lifetime of the object.
class CWaitCursor {
public:
    CWaitCursor() {
        if (CurrentApp()) CurrentApp()->BeginWaitCursor();
    }
    ~CWaitCursor() {
        if (CurrentApp()) CurrentApp()->EndWaitCursor();
    }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};
