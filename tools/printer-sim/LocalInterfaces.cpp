#include "LocalInterfaces.h"

#ifdef _WIN32
#include <winsock2.h>
#include <iphlpapi.h>

#include <vector>
#else
#include <ifaddrs.h>
#include <net/if.h>

#include <memory>
#endif

namespace sim {

#ifdef _WIN32

bool onlyLoopbackInterfaces() {
    ULONG size = 16 * 1024;
    std::vector<unsigned char> buffer;
    ULONG result = ERROR_BUFFER_OVERFLOW;
    for (int attempt = 0; attempt < 3 && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
        buffer.resize(size);
        result = ::GetAdaptersAddresses(
            AF_INET, 0, nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
    }
    if (result != NO_ERROR) return false;
    for (auto* adapter = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()); adapter;
         adapter = adapter->Next) {
        if (adapter->OperStatus == IfOperStatusUp && adapter->IfType != IF_TYPE_SOFTWARE_LOOPBACK) {
            return false;
        }
    }
    return true;
}

#else

bool onlyLoopbackInterfaces() {
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) return false;
    const std::unique_ptr<ifaddrs, decltype(&::freeifaddrs)> interfaces(list, &::freeifaddrs);
    for (auto* entry = interfaces.get(); entry; entry = entry->ifa_next) {
        if ((entry->ifa_flags & IFF_UP) && !(entry->ifa_flags & IFF_LOOPBACK)) return false;
    }
    return true;
}

#endif

}  // namespace sim
