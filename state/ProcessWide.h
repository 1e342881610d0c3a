#pragma once

#include <string>

#include "state/SetupState.h"

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

    // The port the port selection dialog installs on: the entry last chosen in its list,
    // or "LPT1:" when the list selected that by itself.
    std::string selectedPort;

    // Device arrivals the USB arrival dialog has acted on; its Enter closes it only after one.
    int arrivalCount = 0;
    // The USB installation steps run while this is 1: at most once per run.
    int usbInstallRound = 1;
};

ProcessWide& Process();
