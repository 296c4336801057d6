// Writing a command's output so that a failed or interrupted run never leaves a partial file in place of
// a good one, and never writes through a name another process could have planted.
#include "cli/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <random>

#include "reader/file_path.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace korvel::cli {

namespace fs = std::filesystem;

namespace {

// The temporary being written, so that SIGINT and SIGTERM can remove it before the process ends.
char pendingTemporary[4096];
std::atomic<bool> temporaryPending{false};

extern "C" void RemovePendingTemporary(int signal) {
    if (temporaryPending.load()) {
#ifdef _WIN32
        _unlink(pendingTemporary);
#else
        unlink(pendingTemporary);
#endif
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Names stay within the usual 255-byte limit: a long output name gets a short temporary.
std::string TemporaryName(const std::string &name, std::uint64_t nonce) {
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".%012llx.tmp", static_cast<unsigned long long>(nonce & 0xFFFFFFFFFFFFull));
    const std::string stem = name.size() + std::strlen(suffix) + 1 <= 255 ? name : "korvel";
    return "." + stem + suffix;
}

// Creates a new file that did not exist, readable and writable by the owner only.
std::FILE *CreateExclusive(const fs::path &path) {
#ifdef _WIN32
    const int fd = _wopen(path.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
    const int fd = open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
#endif
    if (fd < 0) return nullptr;
    std::FILE *file = fdopen(fd, "wb");
    if (!file) close(fd);
    return file;
}

// The mode a replaced file had, or what a new file would get.
fs::perms ModeFor(const fs::file_status &status) {
    if (fs::exists(status)) return status.permissions();
#ifdef _WIN32
    return fs::perms::owner_read | fs::perms::owner_write;
#else
    const mode_t mask = umask(0);
    umask(mask);
    return static_cast<fs::perms>(0666 & ~mask);
#endif
}

bool WriteAndClose(std::FILE *file, const std::function<bool(std::FILE *)> &write) {
    const bool written = write(file) && std::fflush(file) == 0 && !std::ferror(file);
#ifndef _WIN32
    const bool synced = written && fsync(fileno(file)) == 0;
#else
    const bool synced = written;
#endif
    return std::fclose(file) == 0 && synced;
}

bool WriteInPlace(const std::string &path, const std::function<bool(std::FILE *)> &write, std::string &error) {
    std::FILE *file = OpenFile(path, "wb");
    if (!file) {
        error = path + ": cannot be created: " + std::strerror(errno);
        return false;
    }
    if (WriteAndClose(file, write)) return true;
    error = path + ": write failed";
    return false;
}

}  // namespace

bool WriteOutputFile(const std::string &path, const std::function<bool(std::FILE *)> &write, std::string &error) {
    if (path == "-") {
        if (write(stdout) && std::fflush(stdout) == 0 && !std::ferror(stdout)) return true;
        error = "standard output: write failed";
        return false;
    }
    // A symbolic link is followed to the file it names, which is then replaced the same safe way.
    std::error_code ec;
    fs::path target = FilePath(path);
    if (fs::is_symlink(fs::symlink_status(target, ec))) {
        const fs::path resolved = fs::weakly_canonical(target, ec);
        if (!ec) target = resolved;
    }
    const fs::file_status status = fs::status(target, ec);
    if (fs::exists(status) && !fs::is_regular_file(status)) return WriteInPlace(Utf8Of(target), write, error);

    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::random_device entropy;
    const std::uint64_t nonce = (std::uint64_t{entropy()} << 32) ^ entropy();
    const fs::path temporary = folder / FilePath(TemporaryName(Utf8Of(target.filename()), nonce));
    std::FILE *file = CreateExclusive(temporary);
    if (!file) {
        // No temporary can be made here (a folder we may not create in, say): write the file itself.
        if (fs::exists(status) || errno == EACCES || errno == EROFS || errno == EPERM)
            return WriteInPlace(Utf8Of(target), write, error);
        error = path + ": cannot be created: " + std::strerror(errno);
        return false;
    }
    const std::string temporaryText = temporary.string();
    const bool trackable = temporaryText.size() < sizeof pendingTemporary;
    if (trackable) {
        std::memcpy(pendingTemporary, temporaryText.c_str(), temporaryText.size() + 1);
        temporaryPending = true;
        std::signal(SIGINT, RemovePendingTemporary);
        std::signal(SIGTERM, RemovePendingTemporary);
    }
    bool ok = WriteAndClose(file, write);
    if (ok) fs::permissions(temporary, ModeFor(status), ec);
    if (ok) fs::rename(temporary, target, ec);
    ok = ok && !ec;
    if (!ok) fs::remove(temporary, ec);
    temporaryPending = false;
    if (!ok) error = path + ": write failed";
    return ok;
}

}  // namespace korvel::cli
