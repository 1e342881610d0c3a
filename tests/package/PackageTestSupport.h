#pragma once

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <type_traits>

// Where the staged sample package lies, as Windows inside Wine sees it: Wine maps the
// Unix root to drive Z:. The build passes the Unix path of the stage.
inline std::string StagedPackagePath(const std::string& relative) {
    std::string path = std::string("Z:") + SAMPLE_PACKAGE_STAGE + "/" + relative;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// Owner of a system handle closed by `Close`, for handles whose closing function the
// test names itself (modules, printers, INF files, events, processes).
template <auto Close>
struct HandleCloser {
    template <typename Handle>
    void operator()(Handle handle) const {
        Close(handle);
    }
};
template <typename Handle, auto Close>
using Owned = std::unique_ptr<std::remove_pointer_t<Handle>, HandleCloser<Close>>;

using OwnedModule = Owned<HMODULE, &FreeLibrary>;
using OwnedKernelHandle = Owned<HANDLE, &CloseHandle>;
