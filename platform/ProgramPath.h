#pragma once

#include <string>

// The full path of this program's file; empty when the system cannot give it whole.
std::string ProgramPath();
