#pragma once

#include "framework/Controls.h"
#include "framework/Dialog.h"

// Waits for the USB printer to be connected and switched on, then runs the USB
// installation steps.
class CDeviceChangeNotification : public CDialog {
public:
    explicit CDeviceChangeNotification(HWND parent = nullptr);
};
