#include "PrinterFixtures.h"

#include "TestSupport.h"

#include <windows.h>
#include <winspool.h>

#include <cstdio>

namespace testing_support {

namespace {
constexpr char kTestDriver[] = "Quelor Test Listing Driver";
}

ScopedPrinters::ScopedPrinters(std::vector<std::string> names) : names_(std::move(names)) {
    DRIVER_INFO_3A driver{};
    driver.cVersion = 3;
    driver.pName = const_cast<char*>(kTestDriver);
    driver.pDriverPath = const_cast<char*>("unidrv.dll");
    driver.pDataFile = const_cast<char*>("listing-test.gpd");
    driver.pConfigFile = const_cast<char*>("no-such-config.dll");
    if (!::AddPrinterDriverExA(nullptr, 3, reinterpret_cast<BYTE*>(&driver), 0)) {
        std::printf("AddPrinterDriverExA failed: %lu\n", ::GetLastError());
        ok_ = false;
        return;
    }
    for (const std::string& name : names_) {
        PRINTER_INFO_2A printer{};
        printer.pPrinterName = const_cast<char*>(name.c_str());
        printer.pPortName = const_cast<char*>("LPT1:");
        printer.pDriverName = const_cast<char*>(kTestDriver);
        printer.pPrintProcessor = const_cast<char*>("winprint");
        printer.pDatatype = const_cast<char*>("RAW");
        printer.Priority = 1;
        HANDLE handle = ::AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&printer));
        if (!handle) {
            std::printf("AddPrinterA(%s) failed: %lu\n", name.c_str(), ::GetLastError());
            ok_ = false;
            continue;
        }
        ::ClosePrinter(handle);
    }
}

ScopedPrinters::~ScopedPrinters() {
    for (const std::string& name : names_) {
        PRINTER_DEFAULTSA defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
        HANDLE handle = nullptr;
        if (::OpenPrinterA(const_cast<char*>(name.c_str()), &handle, &defaults)) {
            ::DeletePrinter(handle);
            ::ClosePrinter(handle);
        }
    }
    ::DeletePrinterDriverA(nullptr, nullptr, const_cast<char*>(kTestDriver));
}

std::vector<std::string> ListedPrinters() {
    DWORD returned = 0;
    std::vector<BYTE> buffer = FetchSpoolerData([&](BYTE* data, DWORD size, DWORD* needed) {
        return ::EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, data,
                               size, needed, &returned);
    });
    std::vector<std::string> names;
    if (buffer.empty()) return names;
    const auto* printers = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    for (DWORD i = 0; i < returned; ++i) names.emplace_back(printers[i].pPrinterName);
    return names;
}

}  // namespace testing_support
