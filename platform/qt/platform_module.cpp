// The Qt layer as a module that korvel-cli loads only for the commands that draw or read the clipboard,
// so that the others start without Qt's libraries. Plain C entry points, looked up by name.
#include "platform/raster_canvas.h"
#include "platform/system_clipboard.h"

#define KORVEL_MODULE_ENTRY extern "C" __attribute__((visibility("default")))

KORVEL_MODULE_ENTRY korvel::RasterCanvas *korvel_qt_create_raster_canvas(std::int32_t width, std::int32_t height) {
    return korvel::CreateRasterCanvas(width, height).release();
}

KORVEL_MODULE_ENTRY korvel::ClipboardSource *korvel_qt_open_system_clipboard(std::string *error) {
    return korvel::OpenSystemClipboard(*error).release();
}
