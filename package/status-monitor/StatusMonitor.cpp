#include <windows.h>

#include <memory>
#include <type_traits>

// Stand-in for the family's status monitor. Setup starts it through the shell,
// minimised, and registers it to start at logon. It shows one small window in the show
// state it was started with and says that it runs by setting a named event, so that a
// test (or a person with a process viewer) can see the launch happen. It ends when its
// window is closed.

namespace {

constexpr wchar_t kWindowClass[] = L"QuelorStatusMonitor";
constexpr wchar_t kWindowTitle[] = L"Quelor Status Monitor";
constexpr wchar_t kStartedEvent[] = L"QuelorStatusMonitorStarted";
constexpr wchar_t kStatusText[] = L"Watching ZNT-Series printers";

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

void PaintStatus(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, kStatusText, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EndPaint(window, &paint);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            PaintStatus(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

HWND CreateMonitorWindow(HINSTANCE instance) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kWindowClass;
    if (RegisterClassW(&windowClass) == 0) return nullptr;
    return CreateWindowExW(0, kWindowClass, kWindowTitle,
                           WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                           CW_USEDEFAULT, 320, 120, nullptr, nullptr, instance, nullptr);
}

// Manual reset, so that the signal stays visible to whoever looks after the launch.
UniqueHandle SignalStarted() {
    UniqueHandle event(CreateEventW(nullptr, TRUE, FALSE, kStartedEvent));
    if (event) SetEvent(event.get());
    return event;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    HWND window = CreateMonitorWindow(instance);
    if (window == nullptr) return 1;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    UniqueHandle started = SignalStarted();

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
