#include "platform/ProgramFolder.h"

#include "platform/ProgramPath.h"

std::string FolderOf(const std::string& path) {
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string ProgramFolder() {
    return FolderOf(ProgramPath());
}
