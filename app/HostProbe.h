#pragma once

#include <windows.h>

#include <string>

// The Windows family name for a version ("Windows7" for 6.1, ...); empty for a
// version the setup does not know.
std::string WindowsFamilyName(DWORD major, DWORD minor);

// The family name of the Windows this program runs on, as it reports itself to a
// program without a compatibility manifest; empty when the version cannot be read.
std::string GetWindowsFamilyName();

// 1 when this 32-bit program runs on 64-bit Windows (under WOW64), 0 otherwise,
// also where the system has no WOW64 query.
int IsWow64Windows();

// The text of one registry value: its data up to the first zero byte. Empty when the key
// or the value is missing, cannot be read, or is longer than a value buffer holds.
std::string ReadRegistryString(HKEY root, const std::string& subkey, const std::string& valueName);

// Largest value ReadRegistryString reads, in bytes.
inline constexpr DWORD kRegistryValueBufferSize = 1024;
