#pragma once

#include <string>
#include <vector>

namespace testing_support {

// Printers added to the real (Wine) spooler for one test and deleted afterwards, with a
// driver whose configuration file does not exist: the spooler then uses a default
// device mode, which is enough for printers that are only listed.
class ScopedPrinters {
public:
    explicit ScopedPrinters(std::vector<std::string> names);
    ~ScopedPrinters();
    ScopedPrinters(const ScopedPrinters&) = delete;
    ScopedPrinters& operator=(const ScopedPrinters&) = delete;

    bool ok() const { return ok_; }

private:
    std::vector<std::string> names_;
    bool ok_ = true;
};

// The names of the printers the spooler lists (local printers and connections).
std::vector<std::string> ListedPrinters();

}  // namespace testing_support
