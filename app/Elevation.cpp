#include "app/Elevation.h"

#include <shellapi.h>

#include <cstdio>
#include <string>

#include "platform/ProgramPath.h"
#include "platform/SystemCalls.h"
#include "platform/UniqueHandle.h"

BOOL IsRunAsAdmin() {
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    UniqueSid administrators;
    if (!::AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                    DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                    administrators.out())) {
        throw ::GetLastError();
    }
    BOOL isMember = FALSE;
    if (!System().checkTokenMembership(nullptr, administrators.get(), &isMember)) {
        throw ::GetLastError();
    }
    return isMember;
}

DWORD RelaunchElevated() {
    try {
        if (IsRunAsAdmin()) return 0;
    } catch (DWORD error) {
        ShowFailureMessage("IsRunAsAdmin", error);
        return 0;
    }

    // A cut path would start another file elevated: without the whole path, start nothing.
    std::string path = ProgramPath();
    if (path.empty()) return 0;

    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.lpVerb = "runas";
    info.lpFile = path.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (System().shellExecuteEx(&info)) return 1;

    DWORD error = ::GetLastError();
    // The user declined the elevation prompt: nothing to report.
    return error == ERROR_CANCELLED ? 0 : error;
}

void ShowFailureMessage(const char* stepName, DWORD error) {
    char text[200];
    int length = std::snprintf(text, sizeof text, "%s failed w/err 0x%08lx", stepName,
                               static_cast<unsigned long>(error));
    // A cut message would name the wrong step: show none rather than half of one.
    if (length < 0 || length >= static_cast<int>(sizeof text)) return;
    System().messageBox(nullptr, text, "Error", MB_OK | MB_ICONERROR);
}
