#include "platform/ProgramPath.h"

#include <windows.h>

std::string ProgramPath() {
    char path[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, length < MAX_PATH ? length : 0);
}
