// What files and standard streams do differently on each operating system, written once per platform
// (platform/posix, platform/win32); everything else reaches the system's files through these and <filesystem>.
#pragma once

#include <compare>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <span>

namespace korvel {

// What tells one file from another however it is named (a link, another path): its device and number.
struct FileIdentity {
    std::uint64_t device = 0, number = 0;
    auto operator<=>(const FileIdentity &) const = default;
};
// Nothing when the file does not exist or cannot be looked at.
std::optional<FileIdentity> IdentityOf(const std::filesystem::path &path);

// A file's size, and its read position moved and told, in 64 bits on every system (files of 2 GiB and more).
std::optional<std::uint64_t> FileSizeOf(std::FILE *file);
std::optional<std::uint64_t> FilePosition(std::FILE *file);
bool SeekFile(std::FILE *file, std::uint64_t position);

// Whether users other than the owner may create files in a folder (POSIX's world-writable bit; Windows
// folders are shared through their access lists, and none is taken for shared here).
bool OthersMayWrite(const std::filesystem::path &folder);

// Whether a stream is an interactive terminal.
bool IsTerminal(std::FILE *stream);
// Creates a new file that did not exist, readable and writable by its owner only, for writing bytes;
// null with errno set when it cannot (it exists, say).
std::FILE *CreateExclusiveFile(const std::filesystem::path &path);
// Removes a file by its native name; safe to call from a signal handler.
void RemoveFileFromSignalHandler(const char *path);
// The permissions a newly created file gets in this process.
std::filesystem::perms NewFileMode();
// Whether this user may not write an existing file although its mode lets somebody write it.
bool WriteRefused(const std::filesystem::path &path);
// Makes a regular file's written bytes durable: 0, or the cause's errno.
int SyncToDisk(std::FILE *file);
// The signals that end a process by default and that a user's session sends.
std::span<const int> TerminatingSignals();

}  // namespace korvel
