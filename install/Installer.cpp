#include "install/Installer.h"

CInstaller::CInstaller() = default;
CInstaller::~CInstaller() = default;

void CInstaller::InstallPrinter() {}
BOOL CInstaller::QueryDriverDirectory() {
    return FALSE;
}
BOOL CInstaller::RegisterDriver() {
    return FALSE;
}
BOOL CInstaller::AddPrinterOnPort() {
    return FALSE;
}
BOOL CInstaller::CopySetupInf() {
    return FALSE;
}
BOOL CInstaller::UpdateUsbPrinterDriver() {
    return TRUE;
}
BOOL CInstaller::CopyStatusMonitor() {
    return FALSE;
}
void CInstaller::RegisterStatusMonitorRun() {}
void CInstaller::LaunchStatusMonitor() {}
void CInstaller::InstallStatusMonitorForUsb() {}

int AddLocalPort(const std::wstring&) {
    return -1;
}
