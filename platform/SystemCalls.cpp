#include "platform/SystemCalls.h"

#include <newdev.h>
#include <shlobj.h>

SystemCalls SystemCalls::Real() {
    SystemCalls calls;
    calls.isUserAnAdmin = [] { return ::IsUserAnAdmin(); };
    calls.shellExecuteEx = [](SHELLEXECUTEINFOA* info) { return ::ShellExecuteExA(info); };
    calls.fileOperation = [](SHFILEOPSTRUCTA* operation) { return ::SHFileOperationA(operation); };
    calls.checkTokenMembership = [](HANDLE token, PSID sid, PBOOL isMember) {
        return ::CheckTokenMembership(token, sid, isMember);
    };
    calls.messageBox = [](HWND owner, const char* text, const char* caption, UINT type) {
        return ::MessageBoxA(owner, text, caption, type);
    };
    calls.enumPrinters = [](DWORD flags, LPSTR name, DWORD level, LPBYTE buffer, DWORD size,
                            LPDWORD needed, LPDWORD returned) {
        return ::EnumPrintersA(flags, name, level, buffer, size, needed, returned);
    };
    calls.getPrinterDriverDirectory = [](LPSTR server, LPSTR environment, DWORD level,
                                         LPBYTE buffer, DWORD size, LPDWORD needed) {
        return ::GetPrinterDriverDirectoryA(server, environment, level, buffer, size, needed);
    };
    calls.addPrinterDriverEx = [](LPSTR server, DWORD level, LPBYTE info, DWORD copyFlags) {
        return ::AddPrinterDriverExA(server, level, info, copyFlags);
    };
    calls.addPrinter = [](LPSTR server, DWORD level, LPBYTE info) {
        return ::AddPrinterA(server, level, info);
    };
    calls.enumPorts = [](LPSTR server, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                         LPDWORD returned) {
        return ::EnumPortsA(server, level, buffer, size, needed, returned);
    };
    calls.configurePort = [](LPSTR server, HWND owner, LPSTR portName) {
        return ::ConfigurePortA(server, owner, portName);
    };
    calls.getDefaultPrinter = [](LPSTR buffer, LPDWORD size) {
        return ::GetDefaultPrinterA(buffer, size);
    };
    calls.setDefaultPrinter = [](LPCSTR name) { return ::SetDefaultPrinterA(name); };
    calls.setupCopyOEMInf = [](PCSTR source, PCSTR mediaLocation, DWORD mediaType, DWORD copyStyle,
                               PSTR destination, DWORD destinationSize, PDWORD requiredSize,
                               PSTR* destinationFilePart) {
        return ::SetupCopyOEMInfA(source, mediaLocation, mediaType, copyStyle, destination,
                                  destinationSize, requiredSize, destinationFilePart);
    };
    calls.updateDriverForPlugAndPlayDevices = [](HWND owner, LPCSTR hardwareId, LPCSTR infPath,
                                                 DWORD installFlags, PBOOL rebootRequired) {
        return ::UpdateDriverForPlugAndPlayDevicesA(owner, hardwareId, infPath, installFlags,
                                                    rebootRequired);
    };
    calls.registerDeviceNotification = [](HANDLE recipient, LPVOID filter, DWORD flags) {
        return ::RegisterDeviceNotificationA(recipient, filter, flags);
    };
    return calls;
}

SystemCalls& System() {
    static SystemCalls calls = SystemCalls::Real();
    return calls;
}
