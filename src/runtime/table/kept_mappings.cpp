#include "runtime/table/kept_mappings.hpp"

#include <sys/mman.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

namespace qv::rt::table {

namespace {

// Enough for the tables a declaration and the office's lists go through;
// a file deleted while its mapping is kept keeps its disk space until the
// mapping goes, so there are never many.
constexpr std::size_t kMostKept = 32;

struct Entry {
    dev_t dev;
    ino_t ino;
    std::string path;
    KeptMapping map;
};

class Shelf {
public:
    // Never destroyed: tables closed while statics go still hand theirs in.
    static Shelf& get() {
        static Shelf* shelf = new Shelf;
        return *shelf;
    }

    void put(dev_t dev, ino_t ino, const std::string& path, KeptMapping m) noexcept {
        std::lock_guard<std::mutex> hold(mutex_);
        for (std::size_t i = 0; i < entries_.size(); ++i)
            if ((entries_[i].dev == dev && entries_[i].ino == ino) || entries_[i].path == path) drop(i--);
        try {
            entries_.push_back({dev, ino, path, m});
        } catch (...) {
            ::munmap(const_cast<char*>(m.data), m.length);
            return;
        }
        if (entries_.size() > kMostKept) drop(0);
        count_ = entries_.size();
    }

    std::optional<KeptMapping> take(dev_t dev, ino_t ino, std::size_t need) noexcept {
        std::lock_guard<std::mutex> hold(mutex_);
        for (std::size_t i = 0; i < entries_.size(); ++i) {
            if (entries_[i].dev != dev || entries_[i].ino != ino) continue;
            if (entries_[i].map.length >= need) return remove(i);
            drop(i);
            return std::nullopt;
        }
        return std::nullopt;
    }

    bool any() const noexcept { return count_.load(std::memory_order_relaxed) != 0; }

    void clear() noexcept {
        std::lock_guard<std::mutex> hold(mutex_);
        while (!entries_.empty()) drop(entries_.size() - 1);
    }

private:
    // Entry i, taken off the shelf.
    KeptMapping remove(std::size_t i) noexcept {
        const KeptMapping m = entries_[i].map;
        entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
        count_ = entries_.size();
        return m;
    }
    void drop(std::size_t i) noexcept {
        const KeptMapping m = remove(i);
        ::munmap(const_cast<char*>(m.data), m.length);
    }

    std::mutex mutex_;
    std::vector<Entry> entries_;   // oldest first
    std::atomic<std::size_t> count_{0};
};

}  // namespace

void keep_mapping(dev_t dev, ino_t ino, const std::string& path, KeptMapping m) noexcept {
    Shelf::get().put(dev, ino, path, m);
}

std::optional<KeptMapping> take_kept_mapping(dev_t dev, ino_t ino, std::size_t need) noexcept {
    return Shelf::get().take(dev, ino, need);
}

bool any_mapping_kept() noexcept { return Shelf::get().any(); }

void let_go_of_kept_mappings() noexcept { Shelf::get().clear(); }

}  // namespace qv::rt::table
