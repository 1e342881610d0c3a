#pragma once

#include <windows.h>

#include "platform/UniqueHandle.h"

// A font of `tenthsOfPoint` tenths of a point in `face`, sized for the screen.
UniqueFont CreatePointFont(int tenthsOfPoint, const char* face);
