// A canvas over an in-memory image that can be saved as PNG; one implementation per platform.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "preview/canvas.h"

namespace korvel {

class RasterCanvas : public Canvas {
public:
    // The image as PNG bytes; false when it cannot be encoded.
    virtual bool EncodePng(std::string &png) const = 0;
    // The colour of one pixel, for tests.
    virtual Rgb PixelAt(std::int32_t x, std::int32_t y) const = 0;
};

// A fresh white image of the given size. Needs no display.
std::unique_ptr<RasterCanvas> CreateRasterCanvas(std::int32_t width, std::int32_t height);

}  // namespace korvel
