#pragma once

#include <string>

// Whether a USB device of the printer is registered with Windows and can be opened
// now: 1 when the last matching device interface tried opened, 0 otherwise. Each device
// that opens sets the setup's portName.
int FindUsbPrinterPort();

// Opens the device at `devicePath` ("\\.\..."); when it opens, reads the COM port of the
// USB serial interface into the setup's portName and returns 1; otherwise 0.
int OpenUsbPrinterDevice(const std::string& devicePath);

// Where the printer's USB device interfaces are registered, and what names them.
inline constexpr char kUsbDeviceClassKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
inline constexpr char kPrinterHardwareId[] = "VID_1CBE&PID_0002";
inline constexpr char kSerialPortMapKey[] = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
inline constexpr char kUsbSerialPortValue[] = "\\Device\\USBSER000";
