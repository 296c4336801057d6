// Writing an output so that a failed or interrupted run never leaves a partial file in place of a good
// one, and never writes through a name another process could have planted.
#include "files/output_file.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <optional>
#include <random>
#include <thread>

#include "files/file_path.h"
#include "files/system_files.h"

namespace korvel {

namespace fs = std::filesystem;

namespace {

// The temporaries being written (one per thread that writes), so that a terminating signal can remove them
// before the process ends.
struct PendingTemporary {
    std::atomic<bool> claimed{false};  // by a writer
    std::atomic<bool> armed{false};    // its path is complete: the signal handler may remove it
    char path[4096];
};
PendingTemporary pendingTemporaries[64];
// Writers between deciding to create a temporary and having created it, and whether a terminating signal
// has come: the handler lets those writers finish creating before it removes their files, and a writer that
// sees the signal creates nothing, so no temporary is made behind the handler's back.
std::atomic<int> creatingTemporaries{0};
std::atomic<bool> terminating{false};

extern "C" void RemovePendingTemporaries(int signal) {
    terminating = true;
    // Creating a file takes microseconds; the bound covers a writer this very thread interrupted.
    for (int spins = 0; creatingTemporaries.load() != 0 && spins < 100'000; spins++)
        std::this_thread::yield();
    for (PendingTemporary &temporary : pendingTemporaries)
        if (temporary.armed.load()) RemoveFileFromSignalHandler(temporary.path);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Shows a temporary to the signal handler while it lives, from just before it is created. One whose name is
// too long, or that finds every slot taken (more writers at once than any command runs), goes untracked.
class TrackedTemporary {
public:
    explicit TrackedTemporary(const std::string &path) {
        RemoveTemporariesOnSignals();
        if (path.size() >= sizeof slot->path) return;
        for (PendingTemporary &temporary : pendingTemporaries) {
            if (temporary.claimed.exchange(true)) continue;
            slot = &temporary;
            std::memcpy(slot->path, path.c_str(), path.size() + 1);
            slot->armed = true;
            return;
        }
    }
    ~TrackedTemporary() { Release(); }
    // The name is not (or no longer) this writer's file: the handler must leave it alone.
    void Release() {
        if (!slot) return;
        slot->armed = false;
        slot->claimed = false;
        slot = nullptr;
    }
    TrackedTemporary(const TrackedTemporary &) = delete;
    TrackedTemporary &operator=(const TrackedTemporary &) = delete;

private:
    PendingTemporary *slot = nullptr;
};

// Names stay within the usual 255-byte limit: a long output name gets a short temporary.
std::string TemporaryName(const std::string &name, std::uint64_t nonce) {
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".%012llx.tmp", static_cast<unsigned long long>(nonce & 0xFFFFFFFFFFFFull));
    const std::string stem = name.size() + std::strlen(suffix) + 1 <= 255 ? name : "korvel";
    return "." + stem + suffix;
}

// Creates a temporary for `name` in `folder` exclusively, under another name when one is taken: a file
// planted there is never written through, nor does it stop the write. Null with the cause otherwise.
std::FILE *CreateTemporary(const fs::path &folder, const std::string &name, fs::path &temporary,
                           std::optional<TrackedTemporary> &tracked, int &cause) {
    std::random_device entropy;
    // Tests fix the first name to plant a file there.
    const char *fixed = std::getenv("KORVEL_TEMPORARY_NONCE");
    for (int attempt = 0; attempt < 8; attempt++) {
        std::uint64_t nonce = (std::uint64_t{entropy()} << 32) ^ entropy();
        if (fixed && attempt == 0) nonce = std::strtoull(fixed, nullptr, 16);
        temporary = folder / FilePath(TemporaryName(name, nonce));
        // Shown to the signal handler before it exists, so that no signal finds it made and not yet shown.
        tracked.emplace(temporary.string());
        creatingTemporaries++;
        std::FILE *file = terminating ? nullptr : CreateExclusiveFile(temporary);
        cause = terminating ? EINTR : errno;
        creatingTemporaries--;
        if (file) return file;
        tracked.reset();
        if (cause != EEXIST) break;
    }
    return nullptr;
}

// The mode a replaced file had, or what a new file would get. A link being replaced lends nothing: its
// mode is always 0777.
fs::perms ModeFor(const fs::file_status &status) {
    return fs::is_regular_file(status) ? status.permissions() : NewFileMode();
}

// A file nobody may write (mode 0444, say), or that this user may not write: replaced only when forced,
// as `cp` does, even for root, who could.
bool IsWriteProtected(const fs::path &path, const fs::file_status &status) {
    constexpr fs::perms kAnyWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    return (status.permissions() & kAnyWrite) == fs::perms::none || WriteRefused(path);
}

// Writes, flushes, syncs (a regular file only: a device or pipe that took every byte has them) and closes.
// 0 on success, else the errno of the first step that failed (EIO when a step failed without one).
int WriteAndClose(std::FILE *file, const std::function<bool(std::FILE *)> &write) {
    errno = 0;
    int failure = 0;
    if (!write(file) || std::fflush(file) != 0 || std::ferror(file)) failure = errno != 0 ? errno : EIO;
    if (failure == 0 && IsRegularFile(file)) failure = SyncToDisk(file);
    if (std::fclose(file) != 0 && failure == 0) failure = errno != 0 ? errno : EIO;
    return failure;
}

std::string FailureText(const std::string &path, const char *what, int cause, bool kept) {
    return path + ": " + what + ": " + std::strerror(cause) + (kept ? " (the old file was kept)" : "");
}

Failure WriteInPlace(const std::string &path, const std::function<bool(std::FILE *)> &write) {
    std::FILE *file = OpenFile(path, "wb");
    if (!file) return FailureText(path, "cannot be created", errno, false);
    const int failure = WriteAndClose(file, write);
    if (failure == 0) return std::nullopt;
    return FailureText(path, "write failed", failure, false);
}

}  // namespace

// A signal the process was started with ignored (nohup) stays ignored.
void RemoveTemporariesOnSignals() {
    static std::once_flag installed;
    std::call_once(installed, [] {
        for (const int signal : TerminatingSignals())
            if (std::signal(signal, RemovePendingTemporaries) == SIG_IGN) std::signal(signal, SIG_IGN);
#ifdef SIGXFSZ
        // Past the file size limit a write fails with EFBIG, reported like any other failed write.
        std::signal(SIGXFSZ, SIG_IGN);
#endif
    });
}

Failure WriteOutputFile(const std::string &path, const std::function<bool(std::FILE *)> &write,
                        const OutputOptions &options) {
    if (path == "-") {
        errno = 0;
        if (write(stdout) && std::fflush(stdout) == 0 && !std::ferror(stdout)) return std::nullopt;
        return std::string("standard output: write failed: ") + std::strerror(errno != 0 ? errno : EIO);
    }
    std::error_code ec;
    fs::path target = FilePath(path);
    if (options.followLinks && fs::is_symlink(fs::symlink_status(target, ec))) {
        const fs::path resolved = fs::weakly_canonical(target, ec);
        if (!ec) target = resolved;
    }
    const fs::file_status status = options.followLinks ? fs::status(target, ec) : fs::symlink_status(target, ec);
    const bool exists = fs::exists(status);
    if (exists && fs::is_directory(status)) return path + ": is a folder";
    const bool regular = fs::is_regular_file(status);
    if (exists && !regular && options.writeInPlace && !fs::is_symlink(status))
        return WriteInPlace(Utf8Of(target), write);
    if (regular && !options.force && IsWriteProtected(target, status))
        return path + ": is read-only; not replaced (--force replaces it)";

    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    fs::path temporary;
    std::optional<TrackedTemporary> tracked;
    int cause = 0;
    std::FILE *file = CreateTemporary(folder, Utf8Of(target.filename()), temporary, tracked, cause);
    if (!file) {
        // No temporary may be made here (a folder we may not create in, say): write the file itself. A folder
        // that is full fails instead: rewriting the old file there would lose it when the write fails too.
        if (options.writeInPlace && (cause == EACCES || cause == EROFS || cause == EPERM))
            return WriteInPlace(Utf8Of(target), write);
        return FailureText(path, "cannot be created", cause, exists);
    }
    int failure = WriteAndClose(file, write);
    if (failure == 0) fs::permissions(temporary, ModeFor(status), ec);
    if (failure == 0) {
        fs::rename(temporary, target, ec);
        if (ec) failure = ec.value();
    }
    if (failure == 0) return std::nullopt;
    fs::remove(temporary, ec);
    return FailureText(path, "write failed", failure, exists);
}

}  // namespace korvel
