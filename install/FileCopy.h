#pragma once

#include <string>

#include "install/BusyNotice.h"
#include "install/DriverPackageCopy.h"

// The class the setup uses for both: a busy notice that also carries the driver package
// copy. The installation copies through an object that never gets a window.
class CFileCopy : public CBusyNotice, public CDriverPackageCopy {
public:
    explicit CFileCopy(const std::string& message, HWND parent = nullptr)
        : CBusyNotice(message, parent) {}
};
