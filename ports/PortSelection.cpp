#include "ports/PortSelection.h"

CPortSelection::CPortSelection(HWND parent) : CEscapeProofDialog(109, parent) {}

void CPortSelection::InstallOnChosenPort() {}

int CPortSelection::ListPorts() {
    return 0;
}
