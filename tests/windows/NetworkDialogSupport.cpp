#include "NetworkDialogSupport.h"

#include <atomic>
#include <cstdio>
#include <thread>

#include "MonitorRecordFile.h"
#include "framework/Dialog.h"

namespace netdialogs_test {

namespace {

sim::PrinterSimulator::Options SimulatorOptions(std::vector<sim::PrinterProfile> printers) {
    sim::PrinterSimulator::Options options;
    options.printers = std::move(printers);
    options.datagramsOnAnyAddress = true;
    return options;
}

}  // namespace

Printers::Printers(std::vector<sim::PrinterProfile> printers)
    : simulator_(SimulatorOptions(std::move(printers))) {
    started_ = simulator_.start();
    if (!started_) std::printf("printer simulator: %s\n", simulator_.error().c_str());
}

Printers::~Printers() {
    simulator_.stop();
}

namespace {

constexpr char kMonitorKey[] =
    "System\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port";
constexpr char kMonitorPortsKey[] =
    "System\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports";

}  // namespace

std::string InstallTestMonitor(const std::string& monitorDll) {
    char system[MAX_PATH] = {};
    ::GetSystemDirectoryA(system, MAX_PATH);
    const std::string target = std::string(system) + "\\testtcpipmon.dll";
    if (!::CopyFileA(monitorDll.c_str(), target.c_str(), FALSE)) {
        return "cannot place the test monitor in " + target + ": " +
               std::to_string(::GetLastError());
    }
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kMonitorKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                          nullptr) != ERROR_SUCCESS) {
        return "cannot register the test monitor";
    }
    const char driver[] = "testtcpipmon.dll";
    ::RegSetValueExA(key, "Driver", 0, REG_SZ, reinterpret_cast<const BYTE*>(driver),
                     sizeof driver);
    ::RegCloseKey(key);
    ::DeleteFileA(MonitorRecordFile().c_str());
    return {};
}

void ForgetTestMonitorPorts() {
    HKEY ports = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMonitorPortsKey, 0, KEY_ALL_ACCESS, &ports) !=
        ERROR_SUCCESS) {
        return;
    }
    char name[256];
    DWORD length = sizeof name;
    // Each deletion moves the next port to the front.
    while (::RegEnumKeyExA(ports, 0, name, &length, nullptr, nullptr, nullptr, nullptr) ==
               ERROR_SUCCESS &&
           ::RegDeleteKeyA(ports, name) == ERROR_SUCCESS) {
        length = sizeof name;
    }
    ::RegCloseKey(ports);
}

sim::PrinterProfile Printer(const std::string& ip, const std::string& mac) {
    sim::PrinterProfile profile;
    profile.ip = ip;
    profile.mac = mac;
    return profile;
}

namespace {

struct WindowSearch {
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchCaption(HWND hwnd, LPARAM parameter) {
    auto* s = reinterpret_cast<WindowSearch*>(parameter);
    DWORD process = 0;
    ::GetWindowThreadProcessId(hwnd, &process);
    if (process != ::GetCurrentProcessId() || !::IsWindowVisible(hwnd)) return TRUE;
    char text[256] = {};
    ::GetWindowTextA(hwnd, text, sizeof text);
    if (std::string(text) != s->caption) return TRUE;
    s->found = hwnd;
    return FALSE;
}

}  // namespace

HWND FindProcessWindow(const char* caption) {
    WindowSearch search{caption, nullptr};
    ::EnumWindows(MatchCaption, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool Eventually(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        ::Sleep(20);
    }
    return true;
}

INT_PTR RunWithUser(CDialog& dialog, const char* caption, std::function<void(HWND)> user) {
    std::atomic<bool> ended = false;
    std::thread person([&] {
        HWND hwnd = nullptr;
        Eventually([&] { return ended || (hwnd = FindProcessWindow(caption)) != nullptr; });
        if (!hwnd) return;
        user(hwnd);
        if (!ended) ::PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
    });
    const INT_PTR result = dialog.DoModal();
    ended = true;
    person.join();
    return result;
}

void Click(HWND dialog, int id) {
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

void Select(HWND dialog, int comboId, int position) {
    HWND combo = ::GetDlgItem(dialog, comboId);
    ::SendMessageA(combo, CB_SETCURSEL, position, 0);
    ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combo));
}

std::string ControlText(HWND dialog, int id) {
    char text[1024] = {};
    ::GetWindowTextA(::GetDlgItem(dialog, id), text, sizeof text);
    return text;
}

int ComboCount(HWND dialog, int comboId) {
    return static_cast<int>(::SendDlgItemMessageA(dialog, comboId, CB_GETCOUNT, 0, 0));
}

int ComboSelection(HWND dialog, int comboId) {
    return static_cast<int>(::SendDlgItemMessageA(dialog, comboId, CB_GETCURSEL, 0, 0));
}

std::string ComboEntry(HWND dialog, int comboId, int position) {
    char text[256] = {};
    if (::SendDlgItemMessageA(dialog, comboId, CB_GETLBTEXT, position,
                              reinterpret_cast<LPARAM>(text)) == CB_ERR) {
        return "<none>";
    }
    return text;
}

MessageBoxes::MessageBoxes() {
    System().messageBox = [this](HWND, const char* text, const char* caption, UINT) {
        std::lock_guard lock(mutex_);
        texts_.emplace_back(text ? text : "");
        captions_.emplace_back(caption ? caption : "");
        return IDOK;
    };
}

std::vector<std::string> MessageBoxes::texts() const {
    std::lock_guard lock(mutex_);
    return texts_;
}

std::vector<std::string> MessageBoxes::captions() const {
    std::lock_guard lock(mutex_);
    return captions_;
}

bool MessageBoxes::shown(const std::string& text) const {
    std::lock_guard lock(mutex_);
    for (const auto& t : texts_) {
        if (t == text) return true;
    }
    return false;
}

Colour LampColour(HWND dialog, int lampId) {
    auto bitmap = reinterpret_cast<HBITMAP>(
        ::SendDlgItemMessageA(dialog, lampId, STM_GETIMAGE, IMAGE_BITMAP, 0));
    if (!bitmap) return Colour::Unknown;
    BITMAP size{};
    if (!::GetObjectA(bitmap, sizeof size, &size)) return Colour::Unknown;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.bmWidth;
    info.bmiHeader.biHeight = -size.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<size_t>(size.bmWidth) * size.bmHeight);
    HDC dc = ::GetDC(nullptr);
    const int rows =
        ::GetDIBits(dc, bitmap, 0, size.bmHeight, pixels.data(), &info, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, dc);
    if (rows != size.bmHeight) return Colour::Unknown;
    // Just below the highlight, where the lamp shows its own colour.
    const DWORD pixel =
        pixels[static_cast<size_t>(size.bmHeight * 2 / 3) * size.bmWidth + size.bmWidth / 2];
    const int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    if (r > g + 60 && r > b + 60) return Colour::Red;
    if (g > r + 60 && g > b + 40) return Colour::Green;
    if (std::abs(r - g) < 30 && std::abs(g - b) < 30) return Colour::Grey;
    return Colour::Unknown;
}

std::string ColourName(Colour colour) {
    switch (colour) {
        case Colour::Green:
            return "green";
        case Colour::Grey:
            return "grey";
        case Colour::Red:
            return "red";
        case Colour::Unknown:
            break;
    }
    return "unknown";
}

}  // namespace netdialogs_test
