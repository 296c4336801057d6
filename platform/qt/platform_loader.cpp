// korvel-cli's way to the Qt layer: the module korvel-qt.so, loaded on first use from beside the program
// or from ../lib/korvel (as installed). Starting without Qt's libraries saves most of a small command's time.
#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "platform/raster_canvas.h"
#include "platform/system_clipboard.h"

namespace korvel {

namespace {

constexpr const char *kModuleName = "korvel-qt.so";

// The module's handle, or null with the reason in `error`; loaded once.
void *Module(std::string &error) {
    static std::string failure;
    static void *const handle = [] {
        std::error_code ec;
        const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec).parent_path();
        for (const std::filesystem::path &candidate :
             {program / kModuleName, program / "../lib/korvel" / kModuleName}) {
            if (!std::filesystem::exists(candidate, ec)) continue;
            if (void *h = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL)) return h;
            failure = std::string(kModuleName) + " could not be loaded: " + dlerror();
            return static_cast<void *>(nullptr);
        }
        failure = std::string(kModuleName) + " is neither beside " + program.string() + " nor in ../lib/korvel";
        return static_cast<void *>(nullptr);
    }();
    if (!handle) error = failure;
    return handle;
}

template <class Function>
Function *Entry(const char *name, std::string &error) {
    void *module = Module(error);
    if (!module) return nullptr;
    void *entry = dlsym(module, name);
    if (!entry) error = std::string(kModuleName) + " lacks " + name;
    return reinterpret_cast<Function *>(entry);
}

}  // namespace

std::unique_ptr<RasterCanvas> CreateRasterCanvas(std::int32_t width, std::int32_t height) {
    std::string error;
    auto *create = Entry<RasterCanvas *(std::int32_t, std::int32_t)>("korvel_qt_create_raster_canvas", error);
    return std::unique_ptr<RasterCanvas>(create ? create(width, height) : nullptr);
}

std::unique_ptr<ClipboardSource> OpenSystemClipboard(std::string &error) {
    auto *open = Entry<ClipboardSource *(std::string *)>("korvel_qt_open_system_clipboard", error);
    if (!open) error = "the clipboard cannot be read: " + error;
    return std::unique_ptr<ClipboardSource>(open ? open(&error) : nullptr);
}

}  // namespace korvel
