#pragma once

// What every setup window asks before the user leaves it unfinished.
inline constexpr char kExitSetupQuestion[] =
    "Setup is not complete. If you quit now, the program will not be installed.\nExit Setup?";
