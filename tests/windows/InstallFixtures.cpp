#include "InstallFixtures.h"

#include <winspool.h>

#include <cstdio>
#include <cstdlib>

#include "platform/SystemCalls.h"

namespace testing_support {

FakePortList::FakePortList(std::vector<FakePort> table) : ports(std::move(table)) {
    System().enumPorts = [this](LPSTR, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                                LPDWORD returned) -> BOOL {
        ++calls;
        *returned = 0;
        bool firstCall = size < sizeof(PORT_INFO_2A) || !buffer;
        if ((failNext == Failure::FirstCall && firstCall) ||
            (failNext == Failure::SecondCall && !firstCall)) {
            failNext = Failure::None;
            ::SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        if (level != 2) {
            ::SetLastError(ERROR_INVALID_LEVEL);
            return FALSE;
        }
        DWORD total = static_cast<DWORD>(ports.size() * sizeof(PORT_INFO_2A));
        for (const FakePort& port : ports) {
            total += static_cast<DWORD>(port.name.size() + 1 + port.description.size() + 1);
        }
        *needed = total;
        if (size < total) {
            ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return FALSE;
        }
        auto* records = reinterpret_cast<PORT_INFO_2A*>(buffer);
        char* text = reinterpret_cast<char*>(buffer + ports.size() * sizeof(PORT_INFO_2A));
        auto place = [&text](const std::string& value) {
            char* start = text;
            memcpy(text, value.c_str(), value.size() + 1);
            text += value.size() + 1;
            return start;
        };
        for (size_t i = 0; i < ports.size(); ++i) {
            records[i] = PORT_INFO_2A{};
            records[i].pPortName = place(ports[i].name);
            records[i].pDescription = place(ports[i].description);
            records[i].fPortType = PORT_TYPE_WRITE;
        }
        *returned = static_cast<DWORD>(ports.size());
        return TRUE;
    };
}

RecordedInstallations::RecordedInstallations() {
    System().addPrinterDriverEx = [](LPSTR, DWORD, LPBYTE, DWORD) { return TRUE; };
    System().addPrinter = [this](LPSTR, DWORD, LPBYTE info) -> HANDLE {
        const auto* printer = reinterpret_cast<const PRINTER_INFO_2A*>(info);
        printerPorts.push_back(printer->pPortName ? printer->pPortName : "");
        printerNames.push_back(printer->pPrinterName ? printer->pPrinterName : "");
        if (duringAdd) duringAdd();
        // No printer of the spooler has this handle: closing it does nothing.
        return reinterpret_cast<HANDLE>(0x7FFF0001);
    };
    System().setDefaultPrinter = [this](LPCSTR name) {
        defaultPrinters.push_back(name ? name : "");
        return TRUE;
    };
    System().setupCopyOEMInf = [this](PCSTR source, PCSTR, DWORD, DWORD, PSTR destination,
                                      DWORD destinationSize, PDWORD, PSTR*) {
        copiedInfs.push_back(source ? source : "");
        if (destination && destinationSize)
            lstrcpynA(destination, "C:\\windows\\inf\\oem1.inf", static_cast<int>(destinationSize));
        return TRUE;
    };
    System().updateDriverForPlugAndPlayDevices = [this](HWND, LPCSTR, LPCSTR inf, DWORD, PBOOL) {
        updatedDriverInfs.push_back(inf ? inf : "");
        return TRUE;
    };
    // The status monitor is not copied, so none is started.
    System().fileOperation = [](SHFILEOPSTRUCTA*) { return 2; };
}

namespace {
constexpr char kUsbDeviceClass[] =
    "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
constexpr char kSerialPortMap[] = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
constexpr char kUsbSerialPort[] = "\\Device\\USBSER000";
}  // namespace

ScopedUsbPrinter::ScopedUsbPrinter(const std::string& interfaceName, const std::string& comPort)
    : interfaceName_(interfaceName) {
    const char* prefix = std::getenv("WINEPREFIX");
    if (!prefix) return;
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE,
                          (std::string(kUsbDeviceClass) + "\\" + interfaceName).c_str(), 0, nullptr,
                          0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return;
    }
    ::RegCloseKey(key);
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSerialPortMap, 0, nullptr, REG_OPTION_VOLATILE,
                          KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return;
    }
    ::RegSetValueExA(key, kUsbSerialPort, 0, REG_SZ, reinterpret_cast<const BYTE*>(comPort.c_str()),
                     static_cast<DWORD>(comPort.size() + 1));
    ::RegCloseKey(key);

    std::string file = "Z:" + std::string(prefix) + "/dosdevices/" + interfaceName.substr(4);
    for (char& c : file) {
        if (c == '/') c = '\\';
    }
    ::CharLowerBuffA(file.data(), static_cast<DWORD>(file.size()));
    HANDLE created = ::CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created == INVALID_HANDLE_VALUE) return;
    ::CloseHandle(created);
    deviceFile_ = file;
    ok_ = true;
}

ScopedUsbPrinter::~ScopedUsbPrinter() {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUsbDeviceClass, 0, KEY_ALL_ACCESS, &key) ==
        ERROR_SUCCESS) {
        ::RegDeleteKeyA(key, interfaceName_.c_str());
        ::RegCloseKey(key);
    }
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSerialPortMap, 0, KEY_ALL_ACCESS, &key) ==
        ERROR_SUCCESS) {
        ::RegDeleteValueA(key, kUsbSerialPort);
        ::RegCloseKey(key);
    }
    if (!deviceFile_.empty()) ::DeleteFileA(deviceFile_.c_str());
}

std::string ScopedUsbPrinter::BroadcastName() const {
    return "\\\\?\\" + interfaceName_.substr(4);
}

std::string ScreenshotPath(const std::string& name) {
    char self[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string folder(self, length);
    folder.erase(folder.find_last_of('\\') + 1);
    return folder + name;
}

}  // namespace testing_support
