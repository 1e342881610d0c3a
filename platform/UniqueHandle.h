#pragma once

#include <windows.h>
#include <dbt.h>
#include <winspool.h>

#include <utility>

// Owner of one system handle: closed exactly once, by the function its Traits name.
// Traits: `Handle` type, `static bool IsValid(Handle)`, `static void Close(Handle)`.
template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    Handle get() const { return handle_; }
    explicit operator bool() const { return Traits::IsValid(handle_); }

    // For calls that fill a handle through an out-parameter.
    Handle* out() {
        reset();
        return &handle_;
    }

    Handle release() { return std::exchange(handle_, Handle{}); }

    void reset(Handle handle = Handle{}) {
        Handle old = std::exchange(handle_, handle);
        if (Traits::IsValid(old)) Traits::Close(old);
    }

private:
    Handle handle_{};
};

namespace handle_traits {

template <typename H, auto CloseFunction>
struct NullIsInvalid {
    using Handle = H;
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { CloseFunction(h); }
};

inline void CloseKernel(HANDLE h) {
    ::CloseHandle(h);
}
inline void CloseKey(HKEY h) {
    ::RegCloseKey(h);
}
inline void CloseSid(PSID h) {
    ::FreeSid(h);
}
// Fonts, bitmaps, brushes: every GDI object goes the same way.
template <typename H>
inline void DeleteGdiObject(H h) {
    ::DeleteObject(h);
}
inline void ClosePrinterHandle(HANDLE h) {
    ::ClosePrinter(h);
}
inline void CloseDeviceNotification(HDEVNOTIFY h) {
    ::UnregisterDeviceNotification(h);
}
inline void CloseModule(HMODULE h) {
    ::FreeLibrary(h);
}

// CreateFile reports failure with INVALID_HANDLE_VALUE; some devices give NULL.
struct File {
    using Handle = HANDLE;
    static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::CloseHandle(h); }
};

}  // namespace handle_traits

using UniqueKernelHandle =
    UniqueHandle<handle_traits::NullIsInvalid<HANDLE, handle_traits::CloseKernel>>;
using UniqueFileHandle = UniqueHandle<handle_traits::File>;
using UniqueRegKey = UniqueHandle<handle_traits::NullIsInvalid<HKEY, handle_traits::CloseKey>>;
using UniqueSid = UniqueHandle<handle_traits::NullIsInvalid<PSID, handle_traits::CloseSid>>;
using UniqueFont =
    UniqueHandle<handle_traits::NullIsInvalid<HFONT, handle_traits::DeleteGdiObject<HFONT>>>;
using UniqueBitmap =
    UniqueHandle<handle_traits::NullIsInvalid<HBITMAP, handle_traits::DeleteGdiObject<HBITMAP>>>;
// A printer, print server or port monitor channel opened or added through the spooler.
using UniquePrinter =
    UniqueHandle<handle_traits::NullIsInvalid<HANDLE, handle_traits::ClosePrinterHandle>>;
using UniqueDeviceNotification =
    UniqueHandle<handle_traits::NullIsInvalid<HDEVNOTIFY, handle_traits::CloseDeviceNotification>>;
using UniqueModule =
    UniqueHandle<handle_traits::NullIsInvalid<HMODULE, handle_traits::CloseModule>>;
