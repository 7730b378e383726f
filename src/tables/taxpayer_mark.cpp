#include "tables/taxpayer_mark.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <thread>

#include "common/paths.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/file_lock.hpp"
#include "runtime/table/table_error.hpp"
#include "tables/open_failure.hpp"
#include "tables/state.hpp"

namespace qv::tables {
namespace {

using namespace rt::literals;
namespace tb = rt::table;

constexpr const char* kFileName = "CPFUSO.LCK";
constexpr std::int64_t kHead = 32;        // byte 0: the look-and-take lock
constexpr std::int64_t kLine = 24;        // CPF, blank, terminal, CR LF
constexpr std::size_t kTerminalWidth = 10;
constexpr auto kLookLimit = std::chrono::seconds(3);

std::int64_t line_offset(long slot) { return kHead + kLine * slot; }

std::string cpf_key(std::string_view cpf) { return rt::PADR(rt::ALLTRIM(cpf), 11); }

std::string line_of(const std::string& cpf, std::string_view terminal) {
    return cpf + " " + rt::PADR(std::string(terminal), kTerminalWidth) + "\r\n";
}

struct Mine {
    std::string cpf;
    int count = 0;
};

struct MarkFile {
    tb::FileHandle fd;
    pid_t owner = 0;
    dev_t dev = 0;
    ino_t ino = 0;
    std::string name;               // as the program names it (CP850)
    std::vector<std::string> folders;   // the names it was reached by
    std::map<long, Mine> mine;      // line -> our mark on it
    int folder_holds = 0;           // whole-folder marks: the look lock kept
};

std::vector<std::unique_ptr<MarkFile>>& files() {
    static std::vector<std::unique_ptr<MarkFile>> open;
    return open;
}

// A copy of the program made by fork() shares the descriptors, and with
// them the locks, of its parent: it starts afresh.
void forget_inherited() {
    auto& all = files();
    const pid_t me = ::getpid();
    std::erase_if(all, [me](const std::unique_ptr<MarkFile>& f) { return f->owner != me; });
}

std::string folder_key(std::string_view folder) { return with_separator(folder); }

MarkFile* known(const std::string& folder) {
    forget_inherited();
    for (auto& f : files())
        for (const std::string& name : f->folders)
            if (name == folder) return f.get();
    return nullptr;
}

MarkFile* file_of(std::string_view folder_name, std::string* problem) {
    const std::string folder = folder_key(folder_name);
    if (MarkFile* f = known(folder)) return f;
    const std::string name = folder + kFileName;
    tb::FileHandle fd(::open(common::fs_path(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666));
    struct stat st {};
    if (!fd || ::fstat(fd.get(), &st) != 0) {
        *problem = unwritable_folder_text(without_separator(folder));
        if (problem->empty()) *problem = "Arquivo "_cp + name + " não pôde ser aberto"_cp;
        return nullptr;
    }
    // Two names of one folder share one descriptor: the locks of two
    // descriptors of this program would shut each other out.
    for (auto& f : files()) {
        if (f->dev == st.st_dev && f->ino == st.st_ino) {
            f->folders.push_back(folder);
            return f.get();
        }
    }
    auto f = std::make_unique<MarkFile>();
    f->fd = std::move(fd);
    f->owner = ::getpid();
    f->dev = st.st_dev;
    f->ino = st.st_ino;
    f->name = name;
    f->folders.push_back(folder);
    files().push_back(std::move(f));
    return files().back().get();
}

// The look at the file and the taking of a line are one step: nobody else
// takes a line between the two.
bool lock_look(int fd) {
    const auto until = std::chrono::steady_clock::now() + kLookLimit;
    while (!tb::lock_range(fd, 0, 1, true, false)) {
        if (std::chrono::steady_clock::now() >= until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// The look lock for one step. While this program holds the whole folder
// the lock is already its own, and stays when the step ends.
class LookLock {
public:
    explicit LookLock(MarkFile& f) : fd_(f.fd.get()), own_(f.folder_holds == 0) {
        held_ = !own_ || lock_look(fd_);
    }
    ~LookLock() {
        if (held_ && own_) tb::unlock_range(fd_, 0, 1);
    }
    LookLock(const LookLock&) = delete;
    LookLock& operator=(const LookLock&) = delete;
    explicit operator bool() const { return held_; }

private:
    int fd_;
    bool own_;
    bool held_ = false;
};

long line_count(MarkFile& f) {
    struct stat st {};
    if (::fstat(f.fd.get(), &st) != 0 || st.st_size <= kHead) return 0;
    return static_cast<long>((st.st_size - kHead + kLine - 1) / kLine);
}

std::string read_line(MarkFile& f, long slot) {
    std::string line(kLine, ' ');
    try {
        line.resize(tb::read_at(f.fd.get(), line.data(), line.size(), line_offset(slot), f.name));
    } catch (const tb::TableError&) {
        line.clear();
    }
    return line;
}

// A line is a mark while its lock is held; one that can be locked is free
// (the lock is let go again unless `keep`).
bool line_live(MarkFile& f, long slot, bool keep = false) {
    if (!tb::lock_range(f.fd.get(), line_offset(slot), kLine, true, false)) return true;
    if (!keep) tb::unlock_range(f.fd.get(), line_offset(slot), kLine);
    return false;
}

struct LiveLine {
    std::string cpf, terminal;
};

// The first line of another program whose lock is held and whose CPF is
// the one asked for (any CPF when `cpf` is empty).
std::optional<LiveLine> live_line(MarkFile& f, const std::string& cpf) {
    const long n = line_count(f);
    for (long slot = 0; slot < n; ++slot) {
        if (f.mine.count(slot)) continue;
        const std::string line = read_line(f, slot);
        if (line.size() < 12 || (!cpf.empty() && line.compare(0, 11, cpf) != 0)) continue;
        if (!line_live(f, slot)) continue;
        std::string terminal = rt::ALLTRIM(line.substr(12, kTerminalWidth));
        return LiveLine{line.substr(0, 11), terminal.empty() ? std::string("?") : terminal};
    }
    return std::nullopt;
}

// The terminal whose live line names the CPF; empty when none.
std::string holder_in(MarkFile& f, const std::string& cpf) {
    const auto line = live_line(f, cpf);
    return line ? line->terminal : std::string();
}

MarkClaim unavailable(std::string problem) {
    MarkClaim c;
    c.outcome = MarkOutcome::Unavailable;
    c.problem = std::move(problem);
    return c;
}

struct Editing {
    std::string folder, cpf;
    bool held = false;
    pid_t owner = 0;
};

Editing& editing() {
    static Editing e;
    return e;
}

}  // namespace

MarkClaim take_taxpayer_mark(std::string_view folder, std::string_view given_cpf) {
    const std::string cpf = cpf_key(given_cpf);
    std::string problem;
    MarkFile* f = file_of(folder, &problem);
    if (!f) return unavailable(problem);
    for (auto& [slot, m] : f->mine) {
        if (m.cpf != cpf) continue;
        ++m.count;
        return {};
    }
    const LookLock look(*f);
    if (!look) return unavailable("Arquivo "_cp + f->name + " sendo usado por outro terminal"_cp);
    if (std::string other = holder_in(*f, cpf); !other.empty()) {
        MarkClaim c;
        c.outcome = MarkOutcome::HeldElsewhere;
        c.terminal = std::move(other);
        return c;
    }
    const long n = line_count(*f);
    long slot = n;
    for (long s = 0; s < n; ++s) {
        if (f->mine.count(s) || line_live(*f, s, true)) continue;
        slot = s;
        break;
    }
    if (slot == n && !tb::lock_range(f->fd.get(), line_offset(slot), kLine, true, false))
        return unavailable("Arquivo "_cp + f->name + " sendo usado por outro terminal"_cp);
    try {
        const std::string line = line_of(cpf, terminal());
        tb::write_at(f->fd.get(), line.data(), line.size(), line_offset(slot), f->name);
    } catch (const tb::TableError&) {
        tb::unlock_range(f->fd.get(), line_offset(slot), kLine);
        return unavailable("Não foi possível gravar o arquivo "_cp + f->name);
    }
    f->mine[slot] = Mine{cpf, 1};
    return {};
}

void release_taxpayer_mark(std::string_view folder, std::string_view given_cpf) {
    const std::string cpf = cpf_key(given_cpf);
    MarkFile* f = known(folder_key(folder));
    if (!f) {
        std::string ignored;
        f = file_of(folder, &ignored);
        if (!f) return;
    }
    for (auto it = f->mine.begin(); it != f->mine.end(); ++it) {
        if (it->second.cpf != cpf) continue;
        if (--it->second.count > 0) return;
        const std::string blank = line_of(rt::SPACE(11), "");
        try {
            tb::write_at(f->fd.get(), blank.data(), blank.size(), line_offset(it->first), f->name);
        } catch (const tb::TableError&) {
            // a line left written is no mark once its lock is gone
        }
        tb::unlock_range(f->fd.get(), line_offset(it->first), kLine);
        f->mine.erase(it);
        return;
    }
}

std::string taxpayer_mark_holder(std::string_view folder, std::string_view cpf) {
    std::string problem;
    MarkFile* f = file_of(folder, &problem);
    return f ? holder_in(*f, cpf_key(cpf)) : std::string();
}

MarkClaim take_editing_mark(std::string_view folder, std::string_view cpf) {
    Editing& e = editing();
    const std::string key = cpf_key(cpf);
    const std::string dir = folder_key(folder);
    if (e.held && e.owner == ::getpid() && e.cpf == key && e.folder == dir) return {};
    release_editing_mark();
    MarkClaim claim = take_taxpayer_mark(dir, key);
    if (claim) e = {dir, key, true, ::getpid()};
    return claim;
}

void release_editing_mark() {
    Editing& e = editing();
    if (!e.held) return;
    if (e.owner == ::getpid()) release_taxpayer_mark(e.folder, e.cpf);
    e = {};
}

std::string taxpayer_in_use_text(std::string_view cpf, std::string_view terminal) {
    return "Contribuinte " + rt::TRANSFORM(rt::Value(cpf_key(cpf)), "@R 999.999.999-99") + " em uso no terminal " +
           std::string(terminal) + ".";
}

std::string refusal_text(const MarkClaim& claim, std::string_view cpf) {
    switch (claim.outcome) {
        case MarkOutcome::Taken: return {};
        case MarkOutcome::HeldElsewhere: return taxpayer_in_use_text(cpf.empty() ? claim.cpf : cpf, claim.terminal);
        case MarkOutcome::Unavailable: break;
    }
    return claim.problem;
}

FolderMark::FolderMark(std::string_view folder) : folder_(folder_key(folder)) {
    std::string problem;
    MarkFile* f = file_of(folder_, &problem);
    if (!f) {
        claim_ = unavailable(problem);
        return;
    }
    if (f->folder_holds == 0 && !lock_look(f->fd.get())) {
        claim_ = unavailable("Arquivo "_cp + f->name + " sendo usado por outro terminal"_cp);
        return;
    }
    ++f->folder_holds;
    if (const auto line = live_line(*f, {})) {
        claim_.outcome = MarkOutcome::HeldElsewhere;
        claim_.cpf = line->cpf;
        claim_.terminal = line->terminal;
        if (--f->folder_holds == 0) tb::unlock_range(f->fd.get(), 0, 1);
    }
}

FolderMark::~FolderMark() {
    if (!claim_) return;
    MarkFile* f = known(folder_);
    if (f && --f->folder_holds == 0) tb::unlock_range(f->fd.get(), 0, 1);
}

TaxpayerMarks::~TaxpayerMarks() { release_all(); }

MarkClaim TaxpayerMarks::take(std::string_view folder, std::string_view cpf) {
    MarkClaim claim = take_taxpayer_mark(folder, cpf);
    if (claim) held_.push_back({std::string(folder), std::string(cpf)});
    return claim;
}

void TaxpayerMarks::release_all() {
    for (auto it = held_.rbegin(); it != held_.rend(); ++it) release_taxpayer_mark(it->folder, it->cpf);
    held_.clear();
}

}  // namespace qv::tables
