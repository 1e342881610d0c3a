#include "network/dialogs/PortRecord.h"

#include <winspool.h>

#include <cstdlib>
#include <cwchar>

#include "network/protocol/Socket.h"
#include "platform/UniqueHandle.h"

namespace {

constexpr char kTcpIpMonitor[] = ",XcvMonitor Standard TCP/IP Port";
constexpr char kSnmpCommunity[] = "public";
constexpr DWORD kSnmpDeviceIndex = 1;

// Into a field of the record, converted with the thread's code page; the field's last character
// stays the terminator.
template <std::size_t N>
void CopyText(WCHAR (&field)[N], const std::string& text) {
    ::MultiByteToWideChar(CP_THREAD_ACP, 0, text.c_str(), -1, field, static_cast<int>(N) - 1);
    field[N - 1] = L'\0';
}

}  // namespace

std::optional<PORT_DATA_1> MakePortRecord(const std::string& addressText,
                                          const std::string& portText) {
    // sztIPAddress holds the longest IPv4 text and its terminator, no more.
    if (!net::isUsableAddressText(addressText)) return std::nullopt;
    PORT_DATA_1 record{};
    CopyText(record.sztPortName, addressText);
    record.dwVersion = 1;
    record.dwProtocol = kRawTcpProtocol;
    record.cbSize = sizeof record;
    record.dwReserved = 0;
    CopyText(record.sztHostAddress, addressText);
    CopyText(record.sztSNMPCommunity, kSnmpCommunity);
    record.dwDoubleSpool = 0;
    CopyText(record.sztIPAddress, addressText);
    // The leading decimal number, blanks and a sign allowed; 0 when the text has none.
    record.dwPortNumber = static_cast<DWORD>(std::strtol(portText.c_str(), nullptr, 10));
    record.dwSNMPEnabled = 0;
    record.dwSNMPDevIndex = kSnmpDeviceIndex;
    return record;
}

void AddStandardTcpIpPort(const PORT_DATA_1& record) {
    PRINTER_DEFAULTSA defaults{nullptr, nullptr, SERVER_ACCESS_ADMINISTER};
    HANDLE opened = nullptr;
    if (!::OpenPrinterA(const_cast<char*>(kTcpIpMonitor), &opened, &defaults)) return;
    UniquePrinter monitor(opened);
    PORT_DATA_1 input = record;
    BYTE output[sizeof(PORT_DATA_1)] = {};
    DWORD needed = 0;
    DWORD status = 0;
    ::XcvDataW(monitor.get(), L"AddPort", reinterpret_cast<BYTE*>(&input), sizeof input, output,
               sizeof output, &needed, &status);
}
