#pragma once

#include <string>

// Asks the spooler for the printer-driver directory of this machine (default
// environment): once to learn the size, then into a buffer of that size. False when
// the spooler cannot say; `directory` is then left empty.
bool QuerySpoolerDriverDirectory(std::string& directory);
