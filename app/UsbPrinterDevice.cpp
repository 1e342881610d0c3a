#include "app/UsbPrinterDevice.h"

#include <windows.h>

#include "app/HostProbe.h"
#include "state/ProcessWide.h"
#include "platform/UniqueHandle.h"

namespace {

constexpr DWORD kKeyNameBufferSize = 255;
// Interface names in registry form start with "##?#"; the device path starts with "\\.\".
constexpr size_t kRegistryNamePrefixLength = 4;

std::string Lowered(std::string text) {
    if (!text.empty()) ::CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

}  // namespace

int OpenUsbPrinterDevice(const std::string& devicePath) {
    UniqueFileHandle device(::CreateFileA(devicePath.c_str(), GENERIC_READ | GENERIC_WRITE,
                                          FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!device) return 0;
    Process().setup.portName =
        ReadRegistryString(HKEY_LOCAL_MACHINE, kSerialPortMapKey, kUsbSerialPortValue);
    return 1;
}

int FindUsbPrinterPort() {
    UniqueRegKey classKey;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUsbDeviceClassKey, 0, KEY_READ, classKey.out()) !=
        ERROR_SUCCESS) {
        return 0;
    }
    const std::string wanted = Lowered(kPrinterHardwareId);
    int result = 0;
    for (DWORD index = 0;; ++index) {
        char name[kKeyNameBufferSize];
        DWORD length = kKeyNameBufferSize;
        LONG status = ::RegEnumKeyExA(classKey.get(), index, name, &length, nullptr, nullptr,
                                      nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) break;
        // A name that does not fit, or a key that went away: skip it.
        if (status != ERROR_SUCCESS) continue;

        std::string interfaceName(name, length);
        if (Lowered(interfaceName).find(wanted) == std::string::npos) continue;
        UniqueRegKey interfaceKey;
        if (::RegOpenKeyExA(classKey.get(), interfaceName.c_str(), 0, KEY_READ,
                            interfaceKey.out()) != ERROR_SUCCESS) {
            continue;
        }
        // The last matching device decides.
        result = OpenUsbPrinterDevice("\\\\.\\" + interfaceName.substr(kRegistryNamePrefixLength));
    }
    return result;
}
