#include "network/dialogs/NetworkWide.h"

NetworkWide& Network() {
    static NetworkWide network;
    return network;
}
