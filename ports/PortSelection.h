#pragma once

#include "framework/Controls.h"
#include "framework/KeyFilter.h"

// The port list of the local spooler: the user picks the printer's port, configures it or
// creates a TCP/IP port; OK installs the printer there.
class CPortSelection : public CEscapeProofDialog {
public:
    explicit CPortSelection(HWND parent = nullptr);

    // Installs on the chosen port, or on the USB printer's COM port when "USB" was chosen.
    void InstallOnChosenPort();
    // Fills the list from the spooler: nonzero on success.
    int ListPorts();
};
