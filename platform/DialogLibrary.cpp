#include "platform/DialogLibrary.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

namespace folyant {

void* loadDialogEntry(const std::string& fromProgram, const char* entry, std::string& error)
{
    std::error_code unreadable;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", unreadable);
    const std::string path = (program.parent_path() / fromProgram).lexically_normal().string();
    // Loaded, not linked: a run nobody watches never maps the widget libraries.
    void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    void* found = library ? ::dlsym(library, entry) : nullptr;
    if (!found) {
        const char* why = ::dlerror();
        error = why ? why : path + ": no " + entry;
    }
    return found;
}

} // namespace folyant
