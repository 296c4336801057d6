// A small PNG encoder (8-bit RGB, stored deflate blocks) for the GDI canvas, which has none of its own.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace korvel {

// `rgb` holds height rows of width pixels, three bytes each, top row first.
std::string EncodeRgbPng(std::int32_t width, std::int32_t height, std::span<const std::uint8_t> rgb);

}  // namespace korvel
