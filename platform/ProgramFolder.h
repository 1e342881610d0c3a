#pragma once

#include <string>

// The folder part of a path, up to and including its last backslash; empty when the
// path has none.
std::string FolderOf(const std::string& path);

// The folder this program was started from, as the system reports the program's path.
std::string ProgramFolder();
