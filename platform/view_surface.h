// The drawing view's image kept by the platform, as a PNG for tests and screenshots.
#pragma once

#include <memory>
#include <string>

#include "preview/view_frames.h"

namespace korvel {

class ImageViewSurface : public ViewSurface {
public:
    virtual bool EncodePng(std::string &png) const = 0;
    virtual Rgb PixelAt(std::int32_t x, std::int32_t y) const = 0;
};

std::unique_ptr<ImageViewSurface> CreateViewSurface();

}  // namespace korvel
