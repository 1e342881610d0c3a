#pragma once

#include <windows.h>

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/SpoolerFetch.h"
#include "platform/SystemCalls.h"

class CDialog;

namespace testing_support {

// Records every message box the program shows through the seam and answers each from a
// script (IDOK once the script runs out). Restores the real message box when it goes.
class MessageBoxScript {
public:
    struct Shown {
        HWND owner;
        std::string text;
        std::string caption;
        UINT type;
    };

    explicit MessageBoxScript(std::deque<int> answers = {});
    void Answer(int answer) { answers_.push_back(answer); }
    const std::vector<Shown>& shown() const { return shown_; }

private:
    SystemCallsOverride restore_;
    std::deque<int> answers_;
    std::vector<Shown> shown_;
};

// Runs `dialog` modally and plays `steps` from inside its own message loop, one step
// per timer tick, so that messages posted by one step are handled before the next.
// When the steps are done and the dialog is still open, it is ended with kNotEnded.
inline constexpr INT_PTR kNotEnded = -2;
INT_PTR RunModal(CDialog& dialog, std::vector<std::function<void(HWND)>> steps);

// Handles this thread's messages until `done` holds or the time is up.
bool PumpUntil(const std::function<bool()>& done,
               std::chrono::milliseconds timeout = std::chrono::seconds(10));

// Clears everything the program keeps for the whole run, as at program start.
void ResetProcessWide();

// The Windows path under which Wine shows a Unix path (the Unix root is drive Z:).
std::string WinePath(const std::string& unixPath);

// Text of a window (or of a dialog's control).
std::string WindowText(HWND hwnd);

// Escape pressed on the focused control, posted so that it goes through the dialog's own
// loop as a real key press does.
void PostEscape(HWND dialog);

// One way of leaving a dialog (Cancel, the close box), for tables of cases.
struct LeaveCase {
    const char* name;
    void (*leave)(HWND);
};

// What the screen shows of `window`, or of the whole screen, written as a 24-bit BMP;
// false when it cannot be.
bool SaveScreenshot(const std::string& path);
bool SaveScreenshot(HWND window, const std::string& path);

// A file's whole content, or "<missing>" when it cannot be read.
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);

// What one spooler query answers, fetched as the program fetches (the size first, then the
// data); empty when the query fails.
std::vector<BYTE> FetchSpoolerData(const SpoolerRequest& request);

// The ports the spooler lists at level 2, in its order.
struct SpoolerPort {
    std::string name;
    std::string monitor;
    std::string description;
};
std::vector<SpoolerPort> ListSpoolerPorts();

// The spooler's printer-driver directory, asked the plain way.
std::string SpoolerDriverDirectory();

}  // namespace testing_support
