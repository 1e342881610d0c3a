#pragma once

#include <windows.h>

// The record a spooler passes to DrvDocumentPropertySheets in lParam, laid out as the
// printer interface documentation gives it (mingw-w64's winddiui.h leaves it out).
// Printer interface DLLs are Unicode: the name is UTF-16 and the devmodes are DEVMODEW.
struct DOCUMENTPROPERTYHEADER {
    WORD cbSize;
    WORD Reserved;
    HANDLE hPrinter;
    LPWSTR pszPrinterName;
    PDEVMODEW pdmIn;
    PDEVMODEW pdmOut;
    DWORD cbOut;
    DWORD fMode;
};
