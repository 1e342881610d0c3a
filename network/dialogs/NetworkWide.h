#pragma once

#include <atomic>

#include "network/dialogs/PrinterTables.h"
#include "network/protocol/RescanStore.h"
#include "network/protocol/SendResult.h"

// What the network dialogs keep for the whole run, shared between the dialogs and the workers
// they start; every member guards itself.
struct NetworkWide {
    PrinterTables printerTables;
    net::RescanStore rescanStore;
    net::SendResult sendResult;
    // 1 once the rescan after new settings has run to its end.
    std::atomic<int> rescanned = 0;
};

NetworkWide& Network();
