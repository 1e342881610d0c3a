// A stand-in for Windows' Standard TCP/IP Port monitor, for the tests and for `make run`: Wine
// has none. It takes "AddPort" with a port record, keeps the port in the registry (the spooler
// unloads a monitor whenever its last handle closes, so memory would forget it), lists its
// ports in EnumPorts and appends each record it receives to a file. It never opens a socket: a
// port it keeps prints nowhere.
#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include <cstring>
#include <cwchar>
#include <mutex>
#include <string>
#include <vector>

#include "MonitorRecordFile.h"
#include "network/dialogs/PortRecord.h"

namespace {

constexpr wchar_t kMonitorName[] = L"Standard TCP/IP Port";
constexpr wchar_t kPortDescription[] = L"Standard TCP/IP Port";

constexpr wchar_t kPortsKey[] =
    L"System\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports";

std::mutex portsMutex;

std::vector<std::wstring> KeptPorts() {
    std::vector<std::wstring> names;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPortsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return names;
    }
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (::RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(name, length);
    }
    ::RegCloseKey(key);
    return names;
}

DWORD KeepPort(const std::wstring& name) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    const std::wstring path = std::wstring(kPortsKey) + L"\\" + name;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                          &disposition) != ERROR_SUCCESS) {
        return ERROR_ACCESS_DENIED;
    }
    ::RegCloseKey(key);
    return disposition == REG_OPENED_EXISTING_KEY ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS;
}

// Handles the spooler gets back; the monitor keeps no state per handle.
int monitorToken;
int xcvToken;
int portToken;

void AppendRecord(const BYTE* record, DWORD size) {
    const std::string path = MonitorRecordFile();
    HANDLE file = ::CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, record, size, &written, nullptr);
    ::CloseHandle(file);
}

DWORD AddPort(const BYTE* input, DWORD size) {
    if (!input || size < sizeof(PORT_DATA_1)) return ERROR_INVALID_PARAMETER;
    AppendRecord(input, size);
    PORT_DATA_1 record;
    std::memcpy(&record, input, sizeof record);
    record.sztPortName[63] = L'\0';
    const std::wstring name(record.sztPortName);
    if (name.empty() || name.find(L'\\') != std::wstring::npos) return ERROR_INVALID_PARAMETER;
    std::lock_guard lock(portsMutex);
    return KeepPort(name);
}

BOOL WINAPI MonitorEnumPorts(HANDLE, LPWSTR, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                             LPDWORD returned) {
    if (level != 1 && level != 2) {
        ::SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    std::lock_guard lock(portsMutex);
    const auto ports = KeptPorts();
    const DWORD entrySize = level == 1 ? sizeof(PORT_INFO_1W) : sizeof(PORT_INFO_2W);
    const auto bytes = [](const std::wstring& text) {
        return static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    };
    DWORD total = 0;
    for (const auto& port : ports) {
        total += entrySize + bytes(port);
        if (level == 2) total += bytes(kMonitorName) + bytes(kPortDescription);
    }
    if (needed) *needed = total;
    if (returned) *returned = 0;
    if (!buffer || size < total) {
        ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    // Entries at the start, their texts packed from the end.
    BYTE* textEnd = buffer + total;
    const auto place = [&](const std::wstring& text) {
        textEnd -= bytes(text);
        std::memcpy(textEnd, text.c_str(), bytes(text));
        return reinterpret_cast<LPWSTR>(textEnd);
    };
    for (std::size_t i = 0; i < ports.size(); ++i) {
        if (level == 1) {
            auto* entry = reinterpret_cast<PORT_INFO_1W*>(buffer) + i;
            entry->pName = place(ports[i]);
        } else {
            auto* entry = reinterpret_cast<PORT_INFO_2W*>(buffer) + i;
            entry->pPortName = place(ports[i]);
            entry->pMonitorName = place(kMonitorName);
            entry->pDescription = place(kPortDescription);
            entry->fPortType = PORT_TYPE_WRITE;
            entry->Reserved = 0;
        }
    }
    if (returned) *returned = static_cast<DWORD>(ports.size());
    return TRUE;
}

BOOL WINAPI MonitorOpenPort(HANDLE, LPWSTR, PHANDLE handle) {
    *handle = &portToken;
    return TRUE;
}

BOOL WINAPI MonitorStartDocPort(HANDLE, LPWSTR, DWORD, DWORD, LPBYTE) {
    return TRUE;
}

// What is printed goes nowhere.
BOOL WINAPI MonitorWritePort(HANDLE, LPBYTE, DWORD size, LPDWORD written) {
    *written = size;
    return TRUE;
}

BOOL WINAPI MonitorReadPort(HANDLE, LPBYTE, DWORD, LPDWORD read) {
    *read = 0;
    return TRUE;
}

BOOL WINAPI MonitorEndDocPort(HANDLE) {
    return TRUE;
}

BOOL WINAPI MonitorClosePort(HANDLE) {
    return TRUE;
}

BOOL WINAPI MonitorXcvOpenPort(HANDLE, LPCWSTR, ACCESS_MASK, PHANDLE handle) {
    *handle = &xcvToken;
    return TRUE;
}

DWORD WINAPI MonitorXcvDataPort(HANDLE, LPCWSTR command, PBYTE input, DWORD inputSize, PBYTE, DWORD,
                                PDWORD outputNeeded) {
    if (outputNeeded) *outputNeeded = 0;
    if (command && std::wcscmp(command, L"AddPort") == 0) return AddPort(input, inputSize);
    return ERROR_INVALID_PARAMETER;
}

BOOL WINAPI MonitorXcvClosePort(HANDLE) {
    return TRUE;
}

VOID WINAPI MonitorShutdown(HANDLE) {}

}  // namespace

extern "C" __declspec(dllexport) LPMONITOR2 WINAPI
    InitializePrintMonitor2(PMONITORINIT, PHANDLE monitor) {
    static MONITOR2 entries = [] {
        MONITOR2 table{};
        table.cbSize = sizeof table;
        table.pfnEnumPorts = MonitorEnumPorts;
        table.pfnOpenPort = MonitorOpenPort;
        table.pfnStartDocPort = MonitorStartDocPort;
        table.pfnWritePort = MonitorWritePort;
        table.pfnReadPort = MonitorReadPort;
        table.pfnEndDocPort = MonitorEndDocPort;
        table.pfnClosePort = MonitorClosePort;
        table.pfnXcvOpenPort = MonitorXcvOpenPort;
        table.pfnXcvDataPort = MonitorXcvDataPort;
        table.pfnXcvClosePort = MonitorXcvClosePort;
        table.pfnShutdown = MonitorShutdown;
        return table;
    }();
    if (monitor) *monitor = &monitorToken;
    return &entries;
}
