#include "DialogTemplate.h"

#include <stdexcept>

namespace testing_support {

namespace {

class Reader {
public:
    Reader(const BYTE* data, size_t size) : data_(data), size_(size) {}

    template <typename T>
    T Read() {
        Need(sizeof(T));
        T value;
        memcpy(&value, data_ + offset_, sizeof(T));
        offset_ += sizeof(T);
        return value;
    }

    // A zero-terminated UTF-16 text, or 0xFFFF followed by an ordinal ("#n").
    std::string ReadTextOrOrdinal() {
        WORD first = Read<WORD>();
        if (first == 0xFFFF) return "#" + std::to_string(Read<WORD>());
        std::wstring text;
        for (WORD c = first; c != 0; c = Read<WORD>()) text.push_back(static_cast<wchar_t>(c));
        char narrow[512] = {};
        ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, narrow, sizeof narrow, nullptr, nullptr);
        return narrow;
    }

    void AlignTo4() { offset_ = (offset_ + 3) & ~size_t{3}; }
    void Skip(size_t bytes) {
        Need(bytes);
        offset_ += bytes;
    }

private:
    void Need(size_t bytes) const {
        if (offset_ + bytes > size_) throw std::runtime_error("dialog template is truncated");
    }

    const BYTE* data_;
    size_t size_;
    size_t offset_ = 0;
};

std::string PredefinedClass(const std::string& name) {
    static const char* const kNames[] = {"Button",  "Edit",      "Static",
                                         "ListBox", "ScrollBar", "ComboBox"};
    if (name.size() > 1 && name[0] == '#') {
        int ordinal = std::stoi(name.substr(1));
        if (ordinal >= 0x80 && ordinal <= 0x85) return kNames[ordinal - 0x80];
    }
    // Class names are not case-sensitive; resource compilers may store them upper case.
    for (const char* known : kNames) {
        if (_stricmp(known, name.c_str()) == 0) return known;
    }
    static const char* const kCommonControls[] = {"SysListView32", "SysTabControl32"};
    for (const char* known : kCommonControls) {
        if (_stricmp(known, name.c_str()) == 0) return known;
    }
    return name;
}

}  // namespace

DialogTemplate LoadDialogTemplate(UINT id) {
    HMODULE module = ::GetModuleHandleA(nullptr);
    HRSRC resource = ::FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));
    if (!resource) throw std::runtime_error("no dialog template " + std::to_string(id));
    HGLOBAL loaded = ::LoadResource(module, resource);
    Reader in(static_cast<const BYTE*>(::LockResource(loaded)), ::SizeofResource(module, resource));

    DialogTemplate result;
    if (in.Read<WORD>() != 1 || in.Read<WORD>() != 0xFFFF) {
        throw std::runtime_error("not an extended dialog template");
    }
    in.Read<DWORD>();  // help ID
    result.exStyle = in.Read<DWORD>();
    result.style = in.Read<DWORD>();
    WORD count = in.Read<WORD>();
    result.x = in.Read<short>();
    result.y = in.Read<short>();
    result.cx = in.Read<short>();
    result.cy = in.Read<short>();
    in.ReadTextOrOrdinal();  // menu
    in.ReadTextOrOrdinal();  // class
    result.title = in.ReadTextOrOrdinal();
    if (result.style & (DS_SETFONT | DS_SHELLFONT)) {
        result.pointSize = in.Read<WORD>();
        in.Read<WORD>();  // weight
        in.Read<BYTE>();  // italic
        in.Read<BYTE>();  // character set
        result.typeface = in.ReadTextOrOrdinal();
    }
    for (WORD i = 0; i < count; ++i) {
        in.AlignTo4();
        TemplateControl control;
        in.Read<DWORD>();  // help ID
        control.exStyle = in.Read<DWORD>();
        control.style = in.Read<DWORD>();
        control.x = in.Read<short>();
        control.y = in.Read<short>();
        control.cx = in.Read<short>();
        control.cy = in.Read<short>();
        control.id = in.Read<DWORD>();
        control.className = PredefinedClass(in.ReadTextOrOrdinal());
        control.text = in.ReadTextOrOrdinal();
        in.Skip(in.Read<WORD>());  // creation data
        result.controls.push_back(control);
    }
    return result;
}

}  // namespace testing_support
