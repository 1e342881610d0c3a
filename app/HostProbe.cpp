#include "app/HostProbe.h"

#include <cstring>
#include <vector>

#include "platform/UniqueHandle.h"

std::string WindowsFamilyName(DWORD major, DWORD minor) {
    struct Family {
        DWORD major, minor;
        const char* name;
    };
    static constexpr Family kFamilies[] = {
        {6, 2, "Windows8"},    {6, 1, "Windows7"},  {6, 0, "WindowsVista"},
        {5, 2, "Windows2003"}, {5, 1, "WindowsXP"}, {5, 0, "Windows2000"},
    };
    for (const Family& family : kFamilies) {
        if (family.major == major && family.minor == minor) return family.name;
    }
    return {};
}

std::string GetWindowsFamilyName() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!::GetVersionExA(&version)) return {};
    return WindowsFamilyName(version.dwMajorVersion, version.dwMinorVersion);
}

int IsWow64Windows() {
    // Looked up at run time: kernel32 of systems without WOW64 does not have it.
    using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
    auto isWow64Process = reinterpret_cast<IsWow64ProcessFunction>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("kernel32"), "IsWow64Process")));
    if (!isWow64Process) return 0;
    BOOL wow64 = FALSE;
    return isWow64Process(::GetCurrentProcess(), &wow64) && wow64 ? 1 : 0;
}

std::string ReadRegistryString(HKEY root, const std::string& subkey, const std::string& valueName) {
    UniqueRegKey key;
    if (::RegOpenKeyExA(root, subkey.c_str(), 0, KEY_ALL_ACCESS, key.out()) != ERROR_SUCCESS) {
        return {};
    }
    DWORD size = 0;
    if (::RegQueryValueExA(key.get(), valueName.c_str(), nullptr, nullptr, nullptr, &size) !=
        ERROR_SUCCESS) {
        return {};
    }
    // A longer value would not fit the buffer; a cut text (a port name cut short) would
    // name the wrong thing, so such a value reads as absent.
    if (size > kRegistryValueBufferSize) return {};

    std::vector<char> buffer(kRegistryValueBufferSize, '\0');
    if (::RegQueryValueExA(key.get(), valueName.c_str(), nullptr, nullptr,
                           reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS) {
        return {};
    }
    return std::string(buffer.data(), ::strnlen(buffer.data(), size));
}
