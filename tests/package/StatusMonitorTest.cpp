// The stand-in status monitor from the staged STM folder, started the way the setup
// program starts it: through the shell with the verb "open". It must show its window in
// the show state it was given and set its named event, and end when the window closes.

#include "PackageTestSupport.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <string>

namespace {

constexpr char kStartedEvent[] = "QuelorStatusMonitorStarted";
constexpr char kWindowTitle[] = "Quelor Status Monitor";
constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kExitTimeoutMs = 10000;

struct ShowCase {
    const char* name;
    int showCommand;
    bool iconic;
};

class StatusMonitorTest : public ::testing::TestWithParam<ShowCase> {
protected:
    void TearDown() override {
        // A monitor that did not close is ended here, so that the next case starts alone.
        if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.get(), 1);
            WaitForSingleObject(process_.get(), kExitTimeoutMs);
        }
    }

    OwnedKernelHandle process_;
};

TEST_P(StatusMonitorTest, StartsThroughTheShellInTheGivenShowState) {
    OwnedKernelHandle started(CreateEventA(nullptr, TRUE, FALSE, kStartedEvent));
    ASSERT_TRUE(started) << GetLastError();
    ResetEvent(started.get());
    ASSERT_EQ(FindWindowA(nullptr, kWindowTitle), nullptr) << "a monitor is already running";

    const std::string program = StagedPackagePath("STM/Version - 1.01.011.exe");
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteA(nullptr, "open", program.c_str(), nullptr, nullptr, GetParam().showCommand));
    ASSERT_GT(result, 32) << program;

    ASSERT_EQ(WaitForSingleObject(started.get(), kStartTimeoutMs), WAIT_OBJECT_0)
        << "the monitor did not signal its start";
    HWND window = FindWindowA(nullptr, kWindowTitle);
    ASSERT_NE(window, nullptr);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    process_.reset(
        OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, processId));
    ASSERT_TRUE(process_) << GetLastError();

    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(IsIconic(window) != FALSE, GetParam().iconic);

    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(process_.get(), kExitTimeoutMs), WAIT_OBJECT_0)
        << "the monitor did not end when its window closed";
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(process_.get(), &exitCode);
    EXPECT_EQ(exitCode, 0u);
}

// SW_MINIMIZE is how the setup program starts it; a normal start shows that the monitor
// takes the show state it is given rather than always minimising itself.
INSTANTIATE_TEST_SUITE_P(ShowStates, StatusMonitorTest,
                         ::testing::Values(ShowCase{"Minimized", SW_MINIMIZE, true},
                                           ShowCase{"Normal", SW_SHOWNORMAL, false}),
                         [](const ::testing::TestParamInfo<ShowCase>& param) {
                             return std::string(param.param.name);
                         });

}  // namespace
