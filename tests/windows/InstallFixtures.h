#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "TestSupport.h"
#include <vector>

namespace testing_support {

// A spooler whose port list is a table: EnumPortsA at level 2 answers from it the way the
// real one does (too small a buffer gives ERROR_INSUFFICIENT_BUFFER and the size needed).
// Replaces the seam's entry until the seam is restored (MessageBoxScript restores it).
struct FakePort {
    std::string name;
    std::string description;
};

class FakePortList {
public:
    enum class Failure { None, FirstCall, SecondCall };

    explicit FakePortList(std::vector<FakePort> ports);

    std::vector<FakePort> ports;
    // The next enumeration fails this way (ERROR_ACCESS_DENIED), once.
    Failure failNext = Failure::None;
    int calls = 0;
};

// Stands in for the spooler's and the setup library's writing calls, so that an
// installation runs to its end without touching the prefix: the driver registration
// succeeds, each printer add is recorded with its port and succeeds, the default printer
// and the INF registrations are recorded.
class RecordedInstallations {
public:
    RecordedInstallations();

    std::vector<std::string> printerPorts;       // port of each printer added
    std::vector<std::string> printerNames;       // name of each printer added
    std::vector<std::string> defaultPrinters;    // each name made the default
    std::vector<std::string> copiedInfs;         // source of each OEM INF registration
    std::vector<std::string> updatedDriverInfs;  // INF of each plug-and-play driver update
    // Called inside each printer add, while the installation holds the thread.
    std::function<void()> duringAdd;
};

// The printer's USB device as Windows shows it once attached: its interface registered
// under the USB device class, a device path that opens ("\\.\NAME" opens NAME in the
// prefix's dosdevices) and the serial port map's first USB serial port. Everything goes
// again when the object does.
class ScopedUsbPrinter {
public:
    // The interface name in registry form ("##?#USB#VID_1CBE&PID_0002#...").
    ScopedUsbPrinter(const std::string& interfaceName, const std::string& comPort);
    ~ScopedUsbPrinter();
    ScopedUsbPrinter(const ScopedUsbPrinter&) = delete;
    ScopedUsbPrinter& operator=(const ScopedUsbPrinter&) = delete;

    bool ok() const { return ok_; }
    // The interface's path as a device broadcast names it ("\\?\USB#...").
    std::string BroadcastName() const;

private:
    std::string interfaceName_;
    std::string deviceFile_;
    bool ok_ = false;
};

// Where a test keeps its screenshots: the folder of the test program.
std::string ScreenshotPath(const std::string& name);

}  // namespace testing_support
