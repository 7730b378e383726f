#pragma once
// Files the transfer shares with the tax program and with other terminals:
// held under a lock while they are read and rewritten, and rewritten beside
// themselves and renamed, so that a crash leaves the old file or the new one.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qv::transfer {

// Whether a rewritten file is forced to the disk before it takes the old
// one's name. Both keep the old file or the new one whole when the process
// is killed; only a power cut tells them apart.
enum class Sync { ToDisk, Cached };

// Writes `text` to a temporary file in the same folder and renames it over
// `target`. 0 on success, else the errno of the failing step (the target is
// then untouched and the temporary file removed).
int replace_file(const std::string& target, std::string_view text, Sync sync = Sync::ToDisk);

// The whole of a file; nullopt (and `error` set to an errno) when it cannot
// be read.
std::optional<std::string> read_whole_file(const std::string& path, int* error = nullptr);
// The same into `text`, whose storage is kept: files read one after the
// other take no fresh memory while they are no longer than the longest
// before. False (and `error` set) when the file cannot be read.
bool read_whole_file(const std::string& path, std::string& text, int* error = nullptr);

// A file opened for reading and writing and locked for writing by this
// holder alone, until it goes out of scope.
class HeldFile {
public:
    HeldFile(HeldFile&& other) noexcept;
    HeldFile& operator=(HeldFile&& other) noexcept;
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    ~HeldFile();

    // Opens (creating it when `create`) and locks without waiting. nullopt
    // with `error` an errno: EACCES/EAGAIN when someone else holds it.
    static std::optional<HeldFile> try_hold(const std::string& path, bool create, int& error);

    const std::string& path() const { return path_; }
    // The content as it stands now (read through the held descriptor).
    std::optional<std::string> content() const;
    // The same into `text`, its storage kept; false when it cannot be read.
    bool read_content(std::string& text) const;
    // Replaces the content (beside it and renamed); 0 or an errno.
    int replace(std::string_view text, Sync sync = Sync::ToDisk) const { return replace_file(path_, text, sync); }

private:
    HeldFile(std::string path, int fd) : path_(std::move(path)), fd_(fd) {}
    std::string path_;
    int fd_ = -1;
};

// The pause between two tries at a busy file (tests replace it); an empty
// function puts the half-second pause back.
void set_busy_pause(std::function<void()> pause);

// Holds the file, waiting while someone else holds it: a try every half
// second for at most ten seconds, with the waiting shown on the status line;
// Esc stops the waiting. nullopt with `error` the errno of the last try.
std::optional<HeldFile> wait_and_hold(const std::string& path, bool create, int& error);

}  // namespace qv::transfer
