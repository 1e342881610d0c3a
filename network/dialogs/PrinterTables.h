#pragma once

#include <array>
#include <cstddef>
#include <mutex>
#include <string>

// What discovery learnt of each printer beyond its address and port, by the printer's position
// in the address list of "Add New TCP/IP Port". Entries outlive the dialog and are only ever
// overwritten, so a later dialog of the same run sees what an earlier one learnt until new
// replies replace it.
class PrinterTables {
public:
    enum class Table { SubnetMask, Gateway, DhcpState, DhcpTimeout, HardwareAddress };
    static constexpr std::size_t kTableCount = 5;
    // Positions from here on have no entries.
    static constexpr std::size_t kPositions = 255;

    // A value for a position beyond the tables is dropped.
    void Set(Table table, std::size_t position, const std::string& value);
    // Empty for a position beyond the tables.
    std::string Get(Table table, std::size_t position) const;
    void Clear();

private:
    mutable std::mutex mutex_;
    std::array<std::array<std::string, kPositions>, kTableCount> entries_;
};
