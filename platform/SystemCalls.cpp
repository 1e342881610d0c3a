#include "platform/SystemCalls.h"

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
    calls.setupCopyOEMInf = [](PCSTR source, PCSTR mediaLocation, DWORD mediaType, DWORD copyStyle,
                               PSTR destination, DWORD destinationSize, PDWORD requiredSize,
                               PSTR* destinationFilePart) {
        return ::SetupCopyOEMInfA(source, mediaLocation, mediaType, copyStyle, destination,
                                  destinationSize, requiredSize, destinationFilePart);
    };
    return calls;
}

SystemCalls& System() {
    static SystemCalls calls = SystemCalls::Real();
    return calls;
}
