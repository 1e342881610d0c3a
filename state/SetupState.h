#pragma once

#include <string>

// The user's choices and the facts probed about the host, handed from the main dialog
// to the installation steps and the port dialogs. Integers start at 0, texts empty.
struct SetupState {
    int installedPrinterCount = 0;  // printers the spooler listed when the main dialog opened
    int makeDefault = 0;            // "Set as default printer" was checked at OK
    int usbDeviceKnown = 0;         // the first USB device search found and opened the printer
    int is64BitWindows = 0;         // running under WOW64
    int usbSelected = 0;            // "USB" was the chosen port kind at OK
    std::string printerName;
    std::string vcomInfPath;   // virtual COM port INF, on the USB path
    std::string portName;      // the printer's virtual COM port, from the serial port map
    std::string osName;        // Windows family name
    std::string setupInfPath;  // the driver's setup INF
    std::string portKind;      // "COM", "TCPIP", "LPT" or "UTP"
};
