#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>

// The Standard TCP/IP Port monitor's record for "AddPort", as its documentation lays it out
// (the system headers that declare it are not part of mingw-w64).
struct PORT_DATA_1 {
    WCHAR sztPortName[64];
    DWORD dwVersion;
    DWORD dwProtocol;
    DWORD cbSize;
    DWORD dwReserved;
    WCHAR sztHostAddress[49];
    WCHAR sztSNMPCommunity[33];
    DWORD dwDoubleSpool;
    WCHAR sztQueue[33];
    WCHAR sztIPAddress[16];
    BYTE Reserved[540];
    DWORD dwPortNumber;
    DWORD dwSNMPEnabled;
    DWORD dwSNMPDevIndex;
};

static_assert(sizeof(PORT_DATA_1) == 964);
static_assert(offsetof(PORT_DATA_1, dwVersion) == 128);
static_assert(offsetof(PORT_DATA_1, dwProtocol) == 132);
static_assert(offsetof(PORT_DATA_1, cbSize) == 136);
static_assert(offsetof(PORT_DATA_1, dwReserved) == 140);
static_assert(offsetof(PORT_DATA_1, sztHostAddress) == 144);
static_assert(offsetof(PORT_DATA_1, sztSNMPCommunity) == 242);
static_assert(offsetof(PORT_DATA_1, dwDoubleSpool) == 308);
static_assert(offsetof(PORT_DATA_1, sztQueue) == 312);
static_assert(offsetof(PORT_DATA_1, sztIPAddress) == 378);
static_assert(offsetof(PORT_DATA_1, Reserved) == 410);
static_assert(offsetof(PORT_DATA_1, dwPortNumber) == 952);
static_assert(offsetof(PORT_DATA_1, dwSNMPEnabled) == 956);
static_assert(offsetof(PORT_DATA_1, dwSNMPDevIndex) == 960);

inline constexpr DWORD kRawTcpProtocol = 1;

// A raw TCP port named after the printer's address, SNMP off. No record for an address text
// longer than the record holds: a cut address would name another host.
std::optional<PORT_DATA_1> MakePortRecord(const std::string& addressText,
                                          const std::string& portText);

// "AddPort" through the Standard TCP/IP Port monitor. What the monitor answers is not
// examined: a port that exists already, or a refusal, leaves things as they are.
void AddStandardTcpIpPort(const PORT_DATA_1& record);
