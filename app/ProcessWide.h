#pragma once

#include <string>

#include "app/SetupState.h"

// Everything that lives for the whole run and is shared between the dialogs and the
// installation steps, in one place. Only the user-interface thread touches it.
struct ProcessWide {
    SetupState setup;

    // The message that the next busy notice created shows.
    std::string noticeText;

    // The package's architecture folder, and the 64-bit driver folders, as the last
    // driver package copy left them.
    std::string packageSourceFolder;
    std::string x64DriverFolder;
    std::string x64DriverFolder3;
};

ProcessWide& Process();
