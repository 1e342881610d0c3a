#include "ports/DeviceChangeNotification.h"

CDeviceChangeNotification::CDeviceChangeNotification(HWND parent) : CDialog(106, parent) {}
