// Any input Korvel reads, told apart by its first bytes: a drawing Jw_cad saved (.jww, .jws) or a "Jw_win"
// clipboard stream. The one place the window's import, its batch and korvel-cli read a drawing.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

#include "reader/drawing_store.h"
#include "reader/jclfunit.h"
#include "reader/jww_file.h"

namespace korvel {

// The first bytes an input's check needs, whatever its kind.
inline constexpr std::size_t kCheckedAnyPrefixBytes = std::max(kCheckedPrefixBytes, kCheckedFilePrefixBytes);

// Whether the input passes its kind's header check, from its first bytes (or all of them).
bool CheckAnyInput(std::span<const std::uint8_t> firstBytes);

// Reads an input that passed the check into `store`, replacing what it held: true when the whole drawing was
// read, false when the read stopped part-way (`report` says where and why).
bool ReadAnyInput(std::span<const std::uint8_t> bytes, DrawingStore &store, const DrawingFileOptions &options = {},
                  ReadReport *report = nullptr);
// The same from an open file of `size` bytes, of the kind its first bytes told, read through a buffer.
bool ReadAnyInput(std::FILE *file, std::uint64_t size, InputKind kind, DrawingStore &store,
                  const DrawingFileOptions &options = {}, ReadReport *report = nullptr);

// A file read as the window reads a dropped one, through a buffer: what it held, and the drawing in `store`
// (replaced) when it held one.
enum class FileRead { Unreadable, NotADrawing, Partial, Whole };
FileRead ReadAnyInputFile(const std::string &path, DrawingStore &store, const DrawingFileOptions &options = {});

}  // namespace korvel
