#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

// An extended dialog template as the program's resources hold it, decoded so that a test
// can compare it with the intended layout.
struct TemplateControl {
    DWORD id;
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
    std::string className;  // "Button", "Static", ... for the predefined class ordinals
    std::string text;       // "#129" for a resource ordinal
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string title;
    WORD pointSize = 0;
    std::string typeface;
    std::vector<TemplateControl> controls;
};

// Decodes template `id` of this program; throws std::runtime_error when it is missing
// or not an extended template.
DialogTemplate LoadDialogTemplate(UINT id);

}  // namespace testing_support
