#include "network/dialogs/PrinterTables.h"

void PrinterTables::Set(Table table, std::size_t position, const std::string& value) {
    if (position >= kPositions) return;
    std::lock_guard lock(mutex_);
    entries_[static_cast<std::size_t>(table)][position] = value;
}

std::string PrinterTables::Get(Table table, std::size_t position) const {
    if (position >= kPositions) return {};
    std::lock_guard lock(mutex_);
    return entries_[static_cast<std::size_t>(table)][position];
}

void PrinterTables::Clear() {
    std::lock_guard lock(mutex_);
    for (auto& table : entries_) table.fill({});
}
