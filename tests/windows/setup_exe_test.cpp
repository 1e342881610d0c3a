// The real Setup.exe, started the way a user starts it, watched from outside: its windows
// are found by title and answered like a user would answer them.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <string>
#include <thread>

#include "TestSupport.h"
#include "platform/UniqueHandle.h"

using namespace testing_support;

namespace {

constexpr char kMainTitle[] = "Quelor ZNT Series Printer Driver - Setup";

class RunningSetup {
public:
    RunningSetup() {
        std::string path = WinePath(SETUP_EXE);
        std::string folder = path.substr(0, path.find_last_of('\\'));
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (::CreateProcessA(path.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                             folder.c_str(), &startup, &info)) {
            process_.reset(info.hProcess);
            ::CloseHandle(info.hThread);
            id_ = info.dwProcessId;
        }
    }
    ~RunningSetup() {
        if (process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
            ::TerminateProcess(process_.get(), 99);
            ::WaitForSingleObject(process_.get(), 5000);
        }
    }

    bool started() const { return static_cast<bool>(process_); }
    DWORD id() const { return id_; }

    // The exit code, or STILL_ACTIVE when it did not end in time.
    DWORD WaitForExit(DWORD milliseconds = 15000) const {
        ::WaitForSingleObject(process_.get(), milliseconds);
        DWORD code = STILL_ACTIVE;
        ::GetExitCodeProcess(process_.get(), &code);
        return code;
    }

private:
    UniqueKernelHandle process_;
    DWORD id_ = 0;
};

struct DialogSearch {
    DWORD process;
    std::string title;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<DialogSearch*>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    char className[64] = {};
    ::GetClassNameA(hwnd, className, sizeof className);
    if (owner == search->process && std::string(className) == "#32770" && ::IsWindowVisible(hwnd) &&
        WindowText(hwnd) == search->title) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// A visible dialog-class window of `process` with this title.
HWND FindDialog(DWORD process, const std::string& title) {
    DialogSearch search{process, title, nullptr};
    ::EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForDialog(DWORD process, const std::string& title) {
    for (int i = 0; i < 300; ++i) {
        if (HWND hwnd = FindDialog(process, title)) return hwnd;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return nullptr;
}

// A message box's text is its static control 0xFFFF.
std::string MessageBoxText(HWND box) {
    return WindowText(::GetDlgItem(box, 0xFFFF));
}

void Press(HWND dialog, int button) {
    ::PostMessageA(dialog, WM_COMMAND, button, 0);
}

TEST(SetupExeTest, SecondCopyIsSentAwayWhileTheFirstShowsItsDialog) {
    RunningSetup first;
    ASSERT_TRUE(first.started());
    HWND main = WaitForDialog(first.id(), kMainTitle);
    ASSERT_NE(nullptr, main);

    RunningSetup second;
    ASSERT_TRUE(second.started());
    HWND box = WaitForDialog(second.id(), "Brevak Printer Driver - Setup");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("Another application is already running. Please terminate the previous application.",
              MessageBoxText(box));
    EXPECT_EQ(nullptr, FindDialog(second.id(), kMainTitle));
    Press(box, IDOK);
    EXPECT_EQ(0u, second.WaitForExit());

    // The first copy is untouched, and leaves only after it asked.
    EXPECT_TRUE(::IsWindowVisible(main));
    ::PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    HWND question = WaitForDialog(first.id(), "ZNT Series Printer Driver - Setup");
    ASSERT_NE(nullptr, question);
    EXPECT_EQ(
        "Setup is not complete. If you quit now, the program will not be installed.\n"
        "Exit Setup?",
        MessageBoxText(question));
    EXPECT_NE(nullptr, ::GetDlgItem(question, IDYES));
    EXPECT_NE(nullptr, ::GetDlgItem(question, IDNO));
    Press(question, IDNO);
    EXPECT_EQ(DWORD(STILL_ACTIVE), first.WaitForExit(500));
    EXPECT_TRUE(::IsWindowVisible(main));

    ::PostMessageA(main, WM_COMMAND, IDCANCEL, 0);
    question = WaitForDialog(first.id(), "ZNT Series Printer Driver - Setup");
    ASSERT_NE(nullptr, question);
    Press(question, IDYES);
    EXPECT_EQ(0u, first.WaitForExit());
}

TEST(SetupExeTest, IsA32BitGuiProgram) {
    UniqueFileHandle file(::CreateFileA(WinePath(SETUP_EXE).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file);
    IMAGE_DOS_HEADER dos{};
    DWORD read = 0;
    ASSERT_TRUE(::ReadFile(file.get(), &dos, sizeof dos, &read, nullptr));
    ::SetFilePointer(file.get(), dos.e_lfanew, nullptr, FILE_BEGIN);
    IMAGE_NT_HEADERS32 nt{};
    ASSERT_TRUE(::ReadFile(file.get(), &nt, sizeof nt, &read, nullptr));
    EXPECT_EQ(DWORD(IMAGE_NT_SIGNATURE), nt.Signature);
    EXPECT_EQ(IMAGE_FILE_MACHINE_I386, nt.FileHeader.Machine);
    EXPECT_EQ(IMAGE_NT_OPTIONAL_HDR32_MAGIC, nt.OptionalHeader.Magic);
    EXPECT_EQ(IMAGE_SUBSYSTEM_WINDOWS_GUI, nt.OptionalHeader.Subsystem);
}

}  // namespace
