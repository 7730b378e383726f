// The compound index file: opening, headers, the tag directory, the page
// cache, page allocation and the free-page list.
#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include "runtime/table/cdx_internal.hpp"

namespace qv::rt::table {

using cdx::CdxIndex;

std::unique_ptr<CdxFile> CdxFile::open(const std::string& path, bool read_only) {
    const int fd = ::open(path.c_str(), (read_only ? O_RDONLY : O_RDWR) | O_CLOEXEC);
    if (fd < 0) throw CdxError(path + ": " + std::strerror(errno));
    auto index = std::make_unique<CdxIndex>(path, fd, read_only);
    index->load();
    return index;
}

void CdxFile::write_new(const std::string& path, const std::vector<TagInfo>& tags, std::vector<KeyBlock> keys) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) throw CdxError(path + ": " + std::strerror(errno));
    CdxIndex index(path, fd, false);
    index.write_empty();
    index.load();
    index.rebuild(tags, std::move(keys));
}

std::unique_ptr<CdxFile> CdxFile::create(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) throw CdxError(path + ": " + std::strerror(errno));
    auto index = std::make_unique<CdxIndex>(path, fd, false);
    index->write_empty();
    index->load();
    return index;
}

namespace cdx {

namespace {

constexpr std::uint32_t kDirRoot = kDirRootPage;
constexpr std::size_t kCacheLimit = 65536;   // pages kept decoded
constexpr std::size_t kTrimAfter = 1024;
constexpr std::size_t kKeptOut = 64 * kPageSize;   // bytes of the page buffer kept between updates

std::string hex(std::uint64_t v) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "0x%llX", static_cast<unsigned long long>(v));
    return buf;
}

std::string upper_ascii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::string rtrim(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
    return s;
}

}  // namespace

CdxIndex::CdxIndex(std::string path, int fd, bool read_only)
    : path_(std::move(path)), fd_(fd), read_only_(read_only) {}

CdxIndex::~CdxIndex() {
    try {
        flush();
    } catch (...) {
        // nothing more can be done when closing: the update mark left in
        // the header has the file rebuilt when it is next opened
    }
    if (fd_ >= 0) ::close(fd_);
    // A large page cache goes back to the system, not just to the heap's
    // free lists, where the big buffers of the next REINDEX (mapped apart)
    // would not find it.
    if (cache_.size() > kTrimAfter) {
        cache_.clear();
        ::malloc_trim(0);
    }
}

void CdxIndex::fail(const std::string& why) const { throw CdxError(path_ + ": " + why); }

void CdxIndex::need_writable() const {
    if (read_only_) fail("index opened read-only");
}

void CdxIndex::read_at(std::uint64_t off, void* buf, std::size_t len) {
    auto* p = static_cast<char*>(buf);
    while (len > 0) {
        const ssize_t n = ::pread(fd_, p, len, static_cast<off_t>(off));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) fail(std::string("read error: ") + std::strerror(errno));
        if (n == 0) fail("unexpected end of file at " + hex(off));
        p += n;
        off += static_cast<std::uint64_t>(n);
        len -= static_cast<std::size_t>(n);
    }
}

// A page or less inside the file is written through the shared mapping,
// which costs no system call; the rest (large runs, and writes that make the
// file longer) with pwrite.
void CdxIndex::write_at(std::uint64_t off, const void* buf, std::size_t len) {
    need_writable();
    if (!wrote_) bump_counter();
    if (len <= kPageSize && off + len <= disk_size_) {
        if (wmap_.write(fd_, disk_size_, off, buf, len)) {
            size_ = std::max<std::uint64_t>(size_, off + len);
            return;
        }
        struct stat st {};
        if (::fstat(fd_, &st) == 0 && static_cast<std::uint64_t>(st.st_size) < off + len)
            fail("the file was cut short by another program");
    }
    const auto* p = static_cast<const char*>(buf);
    while (len > 0) {
        const ssize_t n = ::pwrite(fd_, p, len, static_cast<off_t>(off));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) fail(std::string("write error: ") + std::strerror(errno));
        p += n;
        off += static_cast<std::uint64_t>(n);
        len -= static_cast<std::size_t>(n);
    }
    size_ = std::max<std::uint64_t>(size_, off);
    disk_size_ = std::max<std::uint64_t>(disk_size_, off);
}

// The change counter moves before the first byte of an update is written,
// not after the last: a reader without the lock that compares the marks
// before and after its reads then sees every update that overlapped them.
// (The caller holds the index lock, so the counter on disk is the one seen
// by invalidate() or written by this handle.)
void CdxIndex::bump_counter() {
    wrote_ = true;
    unsigned char b[4];
    put_be32(b, ++seen_counter_);
    write_at(8, b, sizeof b);
    set_update_mark(true);
    std::atomic_thread_fence(std::memory_order_seq_cst);   // before any page of the update
}

void CdxIndex::set_update_mark(bool on) {
    const unsigned char b = on ? 1 : 0;
    write_at(kUpdateMarkAt, &b, 1);
}

void CdxIndex::check_page(std::uint32_t off) const {
    if (off % kPageSize != 0 || off < kDirRoot || std::uint64_t{off} + kPageSize > size_)
        fail("page offset " + hex(off) + " outside the file");
}

Node& CdxIndex::node(const Tree& t, std::uint32_t off) {
    if (Node* cached = cache_.find(off)) {
        if (cached->kl == t.codec.kl) return *cached;
        if (cached->dirty) fail("page " + hex(off) + " used by two tags");
    }
    check_page(off);
    unsigned char buf[kPageSize];
    read_at(off, buf, kPageSize);
    Node n;
    n.off = off;
    try {
        decode_page(buf, t.codec, n);
    } catch (const std::runtime_error& e) {
        fail(std::string(e.what()) + " at page " + hex(off));
    }
    Node& slot = cache_[off];
    slot = std::move(n);
    return slot;
}

Node& CdxIndex::new_node(const Tree& t, std::uint16_t attr) {
    const std::uint32_t off = alloc_page();
    Node& n = cache_[off];
    n = Node{};
    n.off = off;
    n.attr = attr;
    n.kl = t.codec.kl;
    return n;
}

// Changed pages are kept in the cache and written together by flush(),
// which the work-area layer calls before it lets go of the index lock: a
// page changed several times while the lock is held is written once.
void CdxIndex::store(const Tree& t, Node& n) {
    need_writable();
    if (n.dirty) return;
    n.dirty = true;
    dirty_.emplace_back(n.off, t.codec);
}

void CdxIndex::write_page(const Tree& t, const Node& n) {
    unsigned char buf[kPageSize];
    encode_page(n, t.codec, buf);
    write_at(n.off, buf, kPageSize);
}

// From the end of the file down: new pages, added at the end, reach the
// file before the pages already there that point to them (a write that
// fails for want of room then fails before any page in use has changed).
void CdxIndex::write_dirty() {
    if (dirty_.empty()) return;
    std::sort(dirty_.begin(), dirty_.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    // The pages go side by side into one buffer, kept from one update to
    // the next (unless an update of many pages made it large); a run of
    // adjacent pages is written in one go.
    out_.clear();
    runs_.clear();
    for (const auto& [off, codec] : dirty_) {
        const Node* cached = cache_.find(off);
        if (!cached || !cached->dirty) continue;   // freed, or listed twice
        if (runs_.empty() || off != runs_.back().off + runs_.back().len) runs_.push_back({off, out_.size(), 0});
        runs_.back().len += kPageSize;
        out_.resize(out_.size() + kPageSize);
        unsigned char* page = out_.data() + out_.size() - kPageSize;
        // A page changed by a key or two is brought up to date from its
        // bytes in the file rather than laid out again.
        const Node& n = *cached;
        if (n.edit == Node::Edit::Rewritten || !wmap_.read(disk_size_, off, page, kPageSize) ||
            !patch_page(n, codec, page))
            encode_page(n, codec, page);
    }
    for (auto r = runs_.rbegin(); r != runs_.rend(); ++r) write_at(r->off, out_.data() + r->at, r->len);
    for (const auto& d : dirty_) {
        Node* n = cache_.find(d.first);
        if (!n) continue;
        n->dirty = false;
        n->edit = Node::Edit::Clean;
    }
    dirty_.clear();
    if (out_.capacity() > kKeptOut) {
        out_ = {};
        runs_ = {};
    }
}

// The pages first, then the tag headers pointing to new roots.
void CdxIndex::write_pending() {
    write_dirty();
    for (const auto& [header, root] : roots_) {
        unsigned char b[4];
        put_le32(b, root);
        write_at(header, b, 4);
    }
    roots_.clear();
}

// After a failed write: what was kept in memory is dropped and the file is
// read again; the update mark stays in its header.
void CdxIndex::drop_unwritten() {
    dirty_.clear();
    roots_.clear();
    cache_.clear();
    stale_ = true;
}

std::uint64_t CdxIndex::append_area(std::uint32_t bytes) {
    const std::uint64_t off = (size_ + kPageSize - 1) / kPageSize * kPageSize;
    if (off + bytes > 0xFFFFFE00ull) fail("index file too large");
    size_ = off + bytes;
    return off;
}

std::uint32_t CdxIndex::alloc_page() {
    unsigned char b[4];
    read_at(4, b, 4);
    const std::uint32_t head = get_le32(b);
    if (head == 0 || head == kNoPage) return static_cast<std::uint32_t>(append_area(kPageSize));
    check_page(head);
    // A page still in use by a tree cannot be free: the list is damaged.
    if (cache_.contains(head)) fail("free-page list points into a tag at " + hex(head));
    read_at(head, b, 4);
    const std::uint32_t next = get_le32(b);
    if (next == head) fail("free-page list loops at " + hex(head));
    if (next != 0 && next != kNoPage) check_page(next);
    put_le32(b, next == kNoPage ? 0 : next);
    write_at(4, b, 4);
    seen_free_ = get_le32(b);
    cache_.erase(head);
    return head;
}

void CdxIndex::free_page(std::uint32_t off) {
    unsigned char b[4];
    read_at(4, b, 4);
    unsigned char page[kPageSize] = {};
    std::memcpy(page, b, 4);
    write_at(off, page, kPageSize);
    put_le32(b, off);
    write_at(4, b, 4);
    seen_free_ = off;
    cache_.erase(off);
}

// The pages join the head of the free list in one chain, written in runs of
// adjacent pages, and the header then points at the first.
void CdxIndex::free_pages(std::vector<std::uint32_t> offs) {
    if (offs.empty()) return;
    std::sort(offs.begin(), offs.end());
    offs.erase(std::unique(offs.begin(), offs.end()), offs.end());
    unsigned char b[4];
    read_at(4, b, 4);
    const std::uint32_t old_head = get_le32(b);
    std::vector<unsigned char> run;
    std::uint32_t start = 0;
    for (std::size_t i = 0; i < offs.size(); ++i) {
        if (!run.empty() && offs[i] != start + run.size()) {
            write_at(start, run.data(), run.size());
            run.clear();
        }
        if (run.empty()) start = offs[i];
        run.resize(run.size() + kPageSize, 0);
        put_le32(run.data() + run.size() - kPageSize, i + 1 < offs.size() ? offs[i + 1] : old_head);
        cache_.erase(offs[i]);
    }
    write_at(start, run.data(), run.size());
    put_le32(b, offs.front());
    write_at(4, b, 4);
    seen_free_ = offs.front();
}

void CdxIndex::write_root(const Tree& t) {
    need_writable();
    for (auto& r : roots_)
        if (r.first == t.header) {
            r.second = t.root;
            return;
        }
    roots_.emplace_back(t.header, t.root);
}

void CdxIndex::write_empty(std::uint32_t counter) {
    unsigned char head[kTagHeaderSize] = {};
    put_le32(head, kDirRoot);
    put_be32(head + 8, counter);
    put_le16(head + 12, kDirKeyLen);
    head[14] = 0xE0;
    head[15] = 0x01;
    put_le16(head + 0x1F8, 1);   // FOR expression: empty, after the key's NUL
    put_le16(head + 0x1FA, 1);
    put_le16(head + 0x1FC, 0);
    put_le16(head + 0x1FE, 1);
    write_at(0, head, sizeof head);
    Node root;
    root.off = kDirRoot;
    root.attr = 3;
    root.kl = kDirKeyLen;
    write_page(Tree{TagInfo{}, 0, kDirRoot, make_codec(KeyType::Character, kDirKeyLen)}, root);
}

Tree CdxIndex::read_tree(std::uint32_t header, const std::string& name) {
    if (header % kPageSize != 0 || header < kDirRoot || std::uint64_t{header} + kTagHeaderSize > size_)
        fail("tag header of " + name + " outside the file");
    unsigned char h[kTagHeaderSize];
    read_at(header, h, sizeof h);
    Tree t;
    t.header = header;
    t.root = get_le32(h);
    const int kl = get_le16(h + 12);
    const unsigned char options = h[14];
    if (kl < 1 || kl > kMaxKeyLen) fail("bad key length in tag " + name);
    if ((options & 0x60) != 0x60 || h[15] != 0x01) fail("tag " + name + " is not a compact compound tag");
    auto expr = [&](int pos_at, int len_at) {
        const int pos = get_le16(h + pos_at), len = get_le16(h + len_at);
        if (pos + len > 512) fail("bad expression in tag " + name);
        std::string s(reinterpret_cast<const char*>(h + 0x200 + pos), static_cast<std::size_t>(len));
        return s.substr(0, s.find('\0'));
    };
    t.info.name = name;
    t.info.key_expr = expr(0x1FC, 0x1FE);
    t.info.for_expr = (options & 0x08) ? expr(0x1F8, 0x1FA) : std::string();
    t.info.key_len = kl;
    t.info.unique = (options & 0x01) != 0;
    t.info.descending = get_le16(h + 0x1F6) != 0;
    auto known = type_of_.find(name);
    t.info.type = known != type_of_.end() ? known->second : infer_key_type(t.info.key_expr, kl);
    t.codec = make_codec(t.info.type, kl);
    check_page(t.root);
    return t;
}

void CdxIndex::read_tags() {
    std::vector<Tree> found;
    const std::uint64_t max_tags = size_ / kTagHeaderSize;
    auto h = hit_first(dir_);
    while (h) {
        if (found.size() >= max_tags) fail("tag directory loops");
        const std::string skey(h->key);
        const std::uint32_t rec = h->rec;
        found.push_back(read_tree(rec, rtrim(dir_.codec.raw_form(skey))));
        h = hit_after(dir_, skey, rec);
    }
    std::sort(found.begin(), found.end(), [](const Tree& a, const Tree& b) { return a.header < b.header; });
    for (std::size_t i = 1; i < found.size(); ++i)
        if (found[i].header < found[i - 1].header + kTagHeaderSize) fail("tag headers overlap");
    trees_ = std::move(found);
    infos_.clear();
    for (const auto& t : trees_) infos_.push_back(t.info);
}

void CdxIndex::load() {
    write_pending();
    struct stat st {};
    if (::fstat(fd_, &st) != 0) fail(std::string("stat: ") + std::strerror(errno));
    size_ = static_cast<std::uint64_t>(st.st_size);
    disk_size_ = size_;
    cache_.clear();
    stale_ = true;   // until everything below has been read
    if (size_ < kTagHeaderSize + kPageSize) fail("file too short for a compound index");
    unsigned char h[32];
    read_at(0, h, sizeof h);
    if (get_le16(h + 12) != kDirKeyLen || (h[14] & 0x60) != 0x60 || h[15] != 0x01)
        fail("not a compound index (bad header)");
    dir_ = Tree{};
    dir_.info.name = "";
    dir_.info.key_len = kDirKeyLen;
    dir_.header = 0;
    dir_.root = get_le32(h);
    seen_free_ = get_le32(h + 4);
    seen_counter_ = get_be32(h + 8);
    unsigned char mark = 0;
    read_at(kUpdateMarkAt, &mark, 1);
    interrupted_ = mark == 1 && !wrote_;
    dir_.codec = make_codec(KeyType::Character, kDirKeyLen);
    check_page(dir_.root);
    read_tags();
    stale_ = false;
}

void CdxIndex::begin_call() {
    if (stale_)
        load();
    else if (cache_.size() > kCacheLimit) {
        write_pending();
        cache_.clear();
    }
    if (interrupted_ && !rebuilding_) fail("an update of the index did not finish: it must be rebuilt");
}

void CdxIndex::mark_damaged() {
    need_writable();
    drop_unwritten();
    wrote_ = true;   // no counter move of its own: the mark alone
    set_update_mark(true);
    wrote_ = false;
}

void CdxIndex::begin_update() {
    need_writable();
    if (!wrote_) bump_counter();
}

bool CdxIndex::interrupted() {
    if (stale_) load();
    return interrupted_;
}

Tree& CdxIndex::tree(int tag) {
    if (tag < 0 || static_cast<std::size_t>(tag) >= trees_.size()) fail("no tag number " + std::to_string(tag + 1));
    return trees_[static_cast<std::size_t>(tag)];
}

int CdxIndex::tag_number(std::string_view name) const {
    const std::string want = upper_ascii(name);
    for (std::size_t i = 0; i < infos_.size(); ++i)
        if (infos_[i].name == want) return static_cast<int>(i);
    return -1;
}

void CdxIndex::set_key_type(int tag, KeyType type) {
    Tree& t = tree(tag);
    if (t.info.type == type) return;
    t.info.type = type;
    t.codec = make_codec(type, t.info.key_len);
    infos_[static_cast<std::size_t>(tag)].type = type;
    type_of_[t.info.name] = type;
    write_pending();
    cache_.clear();
}

void CdxIndex::read_change_marks(std::uint32_t& free_head, std::uint32_t& counter) {
    unsigned char b[8];
    read_at(4, b, sizeof b);
    free_head = get_le32(b);
    counter = get_be32(b + 4);
}

// Keeps the cache when no one has written the file since this handle last
// read or wrote it; otherwise everything is read again.
void CdxIndex::invalidate() {
    flush();
    std::uint32_t free_head = 0, counter = 0;
    try {
        read_change_marks(free_head, counter);
    } catch (const CdxError&) {
        stale_ = true;   // the next call reports what is wrong
        return;
    }
    if (free_head != seen_free_ || counter != seen_counter_) {
        stale_ = true;
        seen_free_ = free_head;
        seen_counter_ = counter;
    }
}

// Ends an update: the pages, the new roots, then the update mark is
// cleared; the next write moves the change counter again. When a write
// fails the mark stays, and the file is taken for damaged until rebuilt.
void CdxIndex::flush() {
    try {
        write_pending();
        if (wrote_) set_update_mark(false);
    } catch (...) {
        drop_unwritten();
        wrote_ = false;
        throw;
    }
    wrote_ = false;
}

}  // namespace cdx
}  // namespace qv::rt::table
