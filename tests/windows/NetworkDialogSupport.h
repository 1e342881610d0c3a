#pragma once

// What the tests of the network dialogs share: the printer simulator in this process, a dialog
// run modally on the test's thread while a second thread plays the user, message boxes recorded
// from any thread, the lamp a control shows, and screenshots.

#include <windows.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "PrinterSimulator.h"
#include "TestSupport.h"
#include "platform/SystemCalls.h"

class CDialog;

namespace netdialogs_test {

using namespace std::chrono_literals;

// Printers played on loopback for one test. Inside the isolated namespace the simulator hears
// broadcasts on all addresses.
class Printers {
public:
    explicit Printers(std::vector<sim::PrinterProfile> printers);
    ~Printers();
    bool started() const { return started_; }
    sim::PrinterSimulator& simulator() { return simulator_; }
    sim::SimulatorRecord record() const { return simulator_.record(); }
    bool waitUntil(const std::function<bool(const sim::SimulatorRecord&)>& condition,
                   std::chrono::milliseconds timeout = 10s) {
        return simulator_.waitUntil(condition, timeout);
    }

private:
    sim::PrinterSimulator simulator_;
    bool started_ = false;
};

sim::PrinterProfile Printer(const std::string& ip, const std::string& mac);

// Runs `dialog` modally on this thread while `user` acts on it from a thread of its own, as a
// person would: through posted clicks and messages to its windows. When `user` returns and the
// dialog is still open, it is cancelled.
INT_PTR RunWithUser(CDialog& dialog, const char* caption, std::function<void(HWND)> user);

// A visible top-level window of this process with the caption, or nullptr.
HWND FindProcessWindow(const char* caption);

// On the user's thread: waits until the condition holds.
bool Eventually(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 10s);

void Click(HWND dialog, int id);
void Select(HWND dialog, int comboId, int position);
std::string ControlText(HWND dialog, int id);
int ComboCount(HWND dialog, int comboId);
int ComboSelection(HWND dialog, int comboId);
std::string ComboEntry(HWND dialog, int comboId, int position);

// Message boxes shown through the seam, answered OK, readable from any thread.
class MessageBoxes {
public:
    MessageBoxes();
    std::vector<std::string> texts() const;
    std::vector<std::string> captions() const;
    bool shown(const std::string& text) const;

private:
    SystemCallsOverride restore_;
    mutable std::mutex mutex_;
    std::vector<std::string> texts_;
    std::vector<std::string> captions_;
};

enum class Colour { Green, Grey, Red, Unknown };
// What the bitmap shown by a lamp control looks like at its centre.
Colour LampColour(HWND dialog, int lampId);
std::string ColourName(Colour colour);

// Our stand-in for the Standard TCP/IP Port monitor Wine lacks, placed where the 32-bit spooler
// code loads it from and registered under the monitor's name; its record file starts empty.
// What went wrong, or an empty text.
std::string InstallTestMonitor(const std::string& monitorDll);
// Takes away every port the stand-in monitor keeps, so that the prefix lists none of them.
void ForgetTestMonitorPorts();

using testing_support::SaveScreenshot;

}  // namespace netdialogs_test
