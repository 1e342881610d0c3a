#pragma once

#include <windows.h>
#include <shellapi.h>
#include <setupapi.h>
#include <winspool.h>
#include <dbt.h>

#include <functional>

// The system calls whose failures or answers Wine cannot produce on demand (an
// administrator query that says no, a spooler error, a port list, a failed launch) and
// every message box. The program
// calls them through here; the defaults are the real calls, and a test replaces single
// entries for its own duration with SystemCallsOverride. One seam, in one place.
struct SystemCalls {
    // Shell
    std::function<BOOL()> isUserAnAdmin;
    std::function<BOOL(SHELLEXECUTEINFOA*)> shellExecuteEx;
    std::function<int(SHFILEOPSTRUCTA*)> fileOperation;

    // Security
    std::function<BOOL(HANDLE token, PSID sid, PBOOL isMember)> checkTokenMembership;

    // User interface
    std::function<int(HWND owner, const char* text, const char* caption, UINT type)> messageBox;

    // Spooler
    std::function<BOOL(DWORD flags, LPSTR name, DWORD level, LPBYTE buffer, DWORD size,
                       LPDWORD needed, LPDWORD returned)>
        enumPrinters;
    std::function<BOOL(LPSTR server, LPSTR environment, DWORD level, LPBYTE buffer, DWORD size,
                       LPDWORD needed)>
        getPrinterDriverDirectory;
    std::function<BOOL(LPSTR server, DWORD level, LPBYTE info, DWORD copyFlags)> addPrinterDriverEx;
    // Fails with NULL and the error in GetLastError.
    std::function<HANDLE(LPSTR server, DWORD level, LPBYTE info)> addPrinter;
    std::function<BOOL(LPSTR server, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                       LPDWORD returned)>
        enumPorts;
    std::function<BOOL(LPSTR server, HWND owner, LPSTR portName)> configurePort;
    std::function<BOOL(LPSTR buffer, LPDWORD size)> getDefaultPrinter;
    std::function<BOOL(LPCSTR name)> setDefaultPrinter;

    // Device installation
    std::function<BOOL(PCSTR source, PCSTR mediaLocation, DWORD mediaType, DWORD copyStyle,
                       PSTR destination, DWORD destinationSize, PDWORD requiredSize,
                       PSTR* destinationFilePart)>
        setupCopyOEMInf;
    std::function<BOOL(HWND owner, LPCSTR hardwareId, LPCSTR infPath, DWORD installFlags,
                       PBOOL rebootRequired)>
        updateDriverForPlugAndPlayDevices;

    // Device notifications
    std::function<HDEVNOTIFY(HANDLE recipient, LPVOID filter, DWORD flags)>
        registerDeviceNotification;

    static SystemCalls Real();
};

// The calls the program makes; the real ones unless a test has replaced some.
SystemCalls& System();

// Restores every entry of the seam when it goes out of scope.
class SystemCallsOverride {
public:
    SystemCallsOverride() : saved_(System()) {}
    ~SystemCallsOverride() { System() = saved_; }
    SystemCallsOverride(const SystemCallsOverride&) = delete;
    SystemCallsOverride& operator=(const SystemCallsOverride&) = delete;

    SystemCalls* operator->() { return &System(); }

private:
    SystemCalls saved_;
};
