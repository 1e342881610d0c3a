#include "TestSupport.h"

#include <winspool.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "platform/UniqueHandle.h"

#include "state/ProcessWide.h"
#include "framework/Dialog.h"
#include "framework/MessageLoop.h"

namespace testing_support {

MessageBoxScript::MessageBoxScript(std::deque<int> answers) : answers_(std::move(answers)) {
    System().messageBox = [this](HWND owner, const char* text, const char* caption, UINT type) {
        shown_.push_back({owner, text ? text : "", caption ? caption : "", type});
        if (answers_.empty()) return IDOK;
        int answer = answers_.front();
        answers_.pop_front();
        return answer;
    };
}

namespace {

struct ModalRun {
    CDialog* dialog;
    std::vector<std::function<void(HWND)>> steps;
    size_t next = 0;
};

// The run the timer of this thread serves; RunModal is not re-entered.
ModalRun* currentRun = nullptr;

void CALLBACK PlayNextStep(HWND, UINT, UINT_PTR, DWORD) {
    ModalRun* run = currentRun;
    if (!run) return;
    HWND hwnd = run->dialog->GetSafeHwnd();
    if (!hwnd) return;
    if (run->next < run->steps.size()) {
        run->steps[run->next++](hwnd);
    } else {
        run->dialog->EndDialog(kNotEnded);
    }
}

}  // namespace

INT_PTR RunModal(CDialog& dialog, std::vector<std::function<void(HWND)>> steps) {
    ModalRun run{&dialog, std::move(steps)};
    currentRun = &run;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 20, PlayNextStep);
    INT_PTR result = dialog.DoModal();
    ::KillTimer(nullptr, timer);
    currentRun = nullptr;
    return result;
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        framework::PumpWaitingMessages();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

void ResetProcessWide() {
    Process() = ProcessWide{};
}

std::string WinePath(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

std::string WindowText(HWND hwnd) {
    char text[1024] = {};
    ::GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<missing>";
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<BYTE> FetchSpoolerData(const SpoolerRequest& request) {
    SpoolerFetchOptions plain;
    plain.probeSize = 0;
    plain.probeMustAskForMore = false;
    plain.traceAllocation = false;
    std::vector<BYTE> data;
    FetchFromSpooler(request, data, plain);
    return data;
}

std::vector<SpoolerPort> ListSpoolerPorts() {
    DWORD count = 0;
    std::vector<BYTE> data = FetchSpoolerData([&](BYTE* buffer, DWORD size, DWORD* needed) {
        return ::EnumPortsA(nullptr, 2, buffer, size, needed, &count);
    });
    std::vector<SpoolerPort> ports;
    if (data.empty()) return ports;
    auto text = [](const char* t) { return std::string(t ? t : ""); };
    const auto* records = reinterpret_cast<const PORT_INFO_2A*>(data.data());
    for (DWORD i = 0; i < count; ++i) {
        ports.push_back({text(records[i].pPortName), text(records[i].pMonitorName),
                         text(records[i].pDescription)});
    }
    return ports;
}

std::string SpoolerDriverDirectory() {
    char directory[MAX_PATH] = {};
    DWORD needed = 0;
    ::GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(directory),
                                 sizeof directory, &needed);
    return directory;
}

void PostEscape(HWND d) {
    HWND focus = ::GetFocus();
    ::PostMessageA(focus ? focus : d, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
}

namespace {

// The screen's DC for as long as the object lives.
class ScreenDc {
public:
    ScreenDc() : dc_(::GetDC(nullptr)) {}
    ~ScreenDc() { ::ReleaseDC(nullptr, dc_); }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

bool SaveScreenArea(const RECT& area, const std::string& path) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return false;

    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    std::vector<BYTE> pixels(static_cast<size_t>(stride) * height);
    {
        ScreenDc screen;
        UniqueHandle<handle_traits::NullIsInvalid<HDC, ::DeleteDC>> memory(
            ::CreateCompatibleDC(screen.get()));
        UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.get(), width, height));
        if (!memory || !bitmap) return false;
        HGDIOBJ old = ::SelectObject(memory.get(), bitmap.get());
        BOOL copied =
            ::BitBlt(memory.get(), 0, 0, width, height, screen.get(), area.left, area.top, SRCCOPY);
        ::SelectObject(memory.get(), old);
        if (!copied || !::GetDIBits(memory.get(), bitmap.get(), 0, height, pixels.data(),
                                    reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS)) {
            return false;
        }
    }

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(reinterpret_cast<const char*>(pixels.data()),
              static_cast<std::streamsize>(pixels.size()));
    return static_cast<bool>(out.flush());
}

}  // namespace

bool SaveScreenshot(const std::string& path) {
    RECT screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    return SaveScreenArea(screen, path);
}

bool SaveScreenshot(HWND window, const std::string& path) {
    RECT area{};
    return ::GetWindowRect(window, &area) && SaveScreenArea(area, path);
}

}  // namespace testing_support
