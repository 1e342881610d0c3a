#pragma once

#include <windows.h>

#include <string>

// Where the test monitor appends every "AddPort" record it receives, one 964-byte record after
// the other, so that a test can check each byte the program handed to the port monitor.
inline std::string MonitorRecordFile() {
    char folder[MAX_PATH] = {};
    ::GetWindowsDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\temp\\test-tcpip-monitor-addport.bin";
}
