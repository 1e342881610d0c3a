// A port the spooler does not know yet, created through the Local Port monitor.
#include <windows.h>
#include <winspool.h>

#include "install/Installer.h"
#include "platform/UniqueHandle.h"

int AddLocalPort(const std::wstring& portName) {
    PRINTER_DEFAULTSA defaults{nullptr, nullptr, SERVER_ACCESS_ADMINISTER};
    UniquePrinter channel;
    if (!::OpenPrinterA(const_cast<char*>(",XcvMonitor Local Port"), channel.out(), &defaults)) {
        return -1;
    }
    // The monitor reads the name with its terminating NUL.
    DWORD inputSize = static_cast<DWORD>((portName.size() + 1) * sizeof(wchar_t));
    DWORD needed = 0;
    DWORD status = 0;
    int result = 0;
    if (!::XcvDataW(channel.get(), L"AddPort",
                    reinterpret_cast<BYTE*>(const_cast<wchar_t*>(portName.c_str())), inputSize,
                    nullptr, 0, &needed, &status)) {
        result = static_cast<int>(::GetLastError());
    }
    if (!::ClosePrinter(channel.release())) result = static_cast<int>(::GetLastError());
    return result;
}
