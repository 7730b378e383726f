// Index bags of a table: opening, orders, INDEX ON, REINDEX and the upkeep
// of every open tag when records change.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

#include "runtime/core/text.hpp"
#include "runtime/table/file_names.hpp"
#include "runtime/table/table.hpp"
#include "runtime/table/table_error.hpp"
#include "runtime/table/table_impl.hpp"

namespace qv::rt::table {

namespace {

constexpr int kMaxKeyLen = 240;

std::map<std::string, std::vector<TagInfo>>& tag_memory() {
    static std::map<std::string, std::vector<TagInfo>> m;
    return m;
}

std::string memory_key(const std::string& path) { return UPPER(path); }

std::string upper_ascii(std::string_view s) {
    std::string u(s);
    for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return u;
}

}  // namespace

void remember_tags(const std::string& bag_path, const std::vector<TagInfo>& tags) {
    tag_memory()[memory_key(bag_path)] = tags;
}

const std::vector<TagInfo>* known_tags(const std::string& bag_path) {
    auto it = tag_memory().find(memory_key(bag_path));
    return it == tag_memory().end() ? nullptr : &it->second;
}

Table::Tag Table::make_tag(const TagInfo& info) {
    Tag t;
    t.info = info;
    try {
        t.key = Expr::compile(info.key_expr);
        if (!info.for_expr.empty()) t.cond = Expr::compile(info.for_expr);
        t.fast = FastKey::compile(info.key_expr, header_.fields);
    } catch (const std::exception& e) {
        t.unusable = e.what();
    }
    return t;
}

// Opens a bag of a shared table under its index lock (taken through a
// descriptor of our own), so that no half-written update is read.
std::unique_ptr<CdxFile> Table::open_locked(const std::string& path) {
    if (exclusive_) return CdxFile::open(path, read_only_);
    FileHandle guard(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (guard) lock_range(guard.get(), kIndexLockByte, 1, false, true);
    return CdxFile::open(path, read_only_);   // the guard's lock goes with it
}

void Table::attach_bag(const std::string& path, bool structural) {
    for (const auto& b : bags_)
        if (b->path == path) return;   // already open
    auto bag = std::make_unique<Bag>();
    bag->path = path;
    bag->structural = structural;
    try {
        bag->cdx = open_locked(path);
    } catch (const CdxError& e) {
        const std::vector<TagInfo>* tags = known_tags(path);
        if (!tags || read_only_) fail(path, std::string("index file unreadable: ") + e.what());
        const std::vector<TagInfo> copy = *tags;
        bag->cdx = CdxFile::create(path);
        for (const TagInfo& info : copy) bag->tags.push_back(make_tag(info));
        rebuild_bag_from(*bag, copy);
    }
    if (!take_share_signal(bag->cdx->fd(), exclusive_)) throw TableBusy(path + ": in use by another user");
    if (on_network_mount(bag->cdx->fd())) bag->marks.disable();
    bag->tags.clear();
    for (const TagInfo& info : bag->cdx->tags()) bag->tags.push_back(make_tag(info));
    correct_key_types(*bag);
    repair_bag_if_needed(*bag);
    remember_tags(path, bag->cdx->tags());
    // The structural bag opens without a controlling order (natural order,
    // as USE leaves it); a bag added later makes its first order the
    // controlling one when there was none.
    const bool first_order = !structural && order_ == 0 && !bag->tags.empty();
    if (structural) {
        bags_.insert(bags_.begin(), std::move(bag));
        if (order_ > 0) order_ += static_cast<int>(bags_.front()->tags.size());
    } else {
        bags_.push_back(std::move(bag));
    }
    if (first_order) order_ = order_count() - static_cast<int>(bags_.back()->tags.size()) + 1;
}

// The file does not say whether an 8-byte key is a number or a date: the
// key evaluated on the blank record does.
void Table::correct_key_types(Bag& bag) {
    const std::string saved = buf_;
    const std::uint32_t saved_rec = recno_;
    const bool saved_eof = eof_;
    blank_buffer();
    eof_ = true;
    for (std::size_t i = 0; i < bag.tags.size(); ++i) {
        if (!bag.tags[i].unusable.empty()) continue;
        Value v;
        try {
            SelectArea sel(*this);
            v = bag.tags[i].key.eval();
        } catch (const std::exception&) {
            continue;   // left as the file suggests
        }
        KeyType type = bag.tags[i].info.type;
        if (v.is_string()) type = KeyType::Character;
        else if (v.is_number()) type = KeyType::Numeric;
        else if (v.is_date()) type = KeyType::Date;
        else if (v.is_logical()) type = KeyType::Logical;
        if (type != bag.tags[i].info.type) {
            bag.cdx->set_key_type(static_cast<int>(i), type);
            bag.tags[i].info.type = type;
        }
    }
    buf_ = saved;
    recno_ = saved_rec;
    eof_ = saved_eof;
}

void Table::add_bag(const std::string& given) {
    flush();
    const std::string path = resolve_path(with_default_extension(given, ".cdx"));
    attach_bag(path, false);
}

void Table::clear_bags() {
    flush();
    bags_.erase(std::remove_if(bags_.begin(), bags_.end(), [](const auto& b) { return !b->structural; }),
                bags_.end());
    if (order_ > order_count()) order_ = order_count() > 0 ? 1 : 0;
    cur_key_.reset();
}

bool Table::has_structural_index() const {
    return !bags_.empty() && bags_.front()->structural;
}

int Table::order_count() const {
    int n = 0;
    for (const auto& b : bags_) n += static_cast<int>(b->tags.size());
    return n;
}

void Table::set_order(int n) {
    flush();
    order_ = n >= 0 && n <= order_count() ? n : 0;
    cur_key_.reset();
}

bool Table::set_order(std::string_view name) {
    const std::string want = upper_ascii(TRIM(name));
    int n = 0;
    for (const auto& b : bags_)
        for (const Tag& t : b->tags) {
            ++n;
            if (t.info.name == want) {
                set_order(n);
                return true;
            }
        }
    return false;
}

const TagInfo* Table::order_info(int n) const {
    if (n == 0) n = order_;
    if (n <= 0) return nullptr;
    for (const auto& b : bags_) {
        if (n <= static_cast<int>(b->tags.size())) return &b->tags[static_cast<std::size_t>(n - 1)].info;
        n -= static_cast<int>(b->tags.size());
    }
    return nullptr;
}

std::string Table::order_key(int n) const {
    const TagInfo* t = order_info(n);
    return t ? t->key_expr : std::string();
}

std::string Table::order_name(int n) const {
    const TagInfo* t = order_info(n);
    return t ? t->name : std::string();
}

std::string Table::bag_of_order(int n) const {
    if (n == 0) n = order_;
    if (n <= 0) return {};
    for (const auto& b : bags_) {
        if (n <= static_cast<int>(b->tags.size())) return b->path;
        n -= static_cast<int>(b->tags.size());
    }
    return {};
}

std::string Table::eval_key(const Tag& t) {
    if (t.fast && t.fast->natural_type() == t.info.type) return t.fast->eval(buf_.data(), t.info.type, t.info.key_len);
    SelectArea sel(*this);
    const Value v = t.key.eval();
    const bool ok = (t.info.type == KeyType::Character && v.is_string()) ||
                    (t.info.type == KeyType::Numeric && v.is_number()) ||
                    (t.info.type == KeyType::Date && v.is_date()) ||
                    (t.info.type == KeyType::Logical && v.is_logical());
    if (!ok) fail(path_, "index key " + t.info.key_expr + " gives a value of another type");
    return encode_key(v, t.info.type, t.info.key_len);
}

bool Table::eval_for(const Tag& t) {
    if (t.cond.empty()) return true;
    SelectArea sel(*this);
    return t.cond.eval().as_bool();
}

void Table::scan_all(const std::function<void(std::uint32_t)>& fn) {
    refresh_header();
    const std::size_t len = header_.record_len;
    // A small chunk, read over and over: it stays in the processor's cache
    // and costs no fresh pages (nor clearing them) however large the table.
    const std::uint32_t per = static_cast<std::uint32_t>(std::max<std::size_t>(1, (64u << 10) / len));
    const auto chunk = std::make_unique_for_overwrite<char[]>(std::size_t(per) * len);
    for (std::uint32_t r = 1; r <= reccount_;) {
        const std::uint32_t n = std::min(per, reccount_ - r + 1);
        const std::size_t bytes = std::size_t(n) * len;
        if (read_at(fd_.get(), chunk.get(), bytes, record_offset(r), path_) < bytes)
            fail(path_, "truncated: records past " + std::to_string(r) + " are missing");
        for (std::uint32_t i = 0; i < n; ++i) {
            buf_.assign(chunk.get() + std::size_t(i) * len, len);
            recno_ = r + i;
            eof_ = false;
            cur_key_.reset();
            fn(recno_);
        }
        r += n;
    }
}

namespace {

std::size_t key_width(const TagInfo& info) {
    switch (info.type) {
        case KeyType::Numeric:
        case KeyType::Date: return 8;
        case KeyType::Logical: return 1;
        case KeyType::Character: break;
    }
    return static_cast<std::size_t>(std::clamp(info.key_len, 1, kMaxKeyLen));
}

}  // namespace

// The keys of every record for each tag, side by side in one buffer per tag.
std::vector<KeyBlock> Table::collect_keys(const std::vector<Tag*>& tags) {
    for (const Tag* t : tags)
        if (!t->unusable.empty())
            fail(path_, "index tag " + t->info.name + " cannot be rebuilt here: " + t->unusable);
    std::vector<KeyBlock> blocks(tags.size());
    refresh_header();
    for (std::size_t i = 0; i < tags.size(); ++i) {
        blocks[i].width = key_width(tags[i]->info);
        blocks[i].bytes = LargeBuffer(blocks[i].width * reccount_);
        blocks[i].recs.reserve(reccount_);
    }
    if (!collect_keys_in_parallel(blocks, tags)) scan_all([&](std::uint32_t r) { add_keys(blocks, tags, r); });
    return blocks;
}

// The keys of the record in the buffer, as record number r, for each tag.
void Table::add_keys(std::vector<KeyBlock>& blocks, const std::vector<Tag*>& tags, std::uint32_t r) {
    for (std::size_t i = 0; i < tags.size(); ++i) {
        const Tag& t = *tags[i];
        if (!eval_for(t)) continue;
        KeyBlock& b = blocks[i];
        if (b.bytes.size() < (b.recs.size() + 1) * b.width) {   // records added meanwhile
            LargeBuffer more((b.recs.size() + 1) * b.width * 2);
            if (!b.recs.empty()) std::memcpy(more.data(), b.bytes.data(), b.recs.size() * b.width);
            b.bytes = std::move(more);
        }
        char* k = b.bytes.data() + b.recs.size() * b.width;
        if (t.fast && t.fast->natural_type() == t.info.type && t.info.type == KeyType::Character) {
            t.fast->eval_into(buf_.data(), static_cast<int>(b.width), k);
        } else {
            const std::string key = eval_key(t);
            const std::size_t len = std::min(key.size(), b.width);
            std::memcpy(k, key.data(), len);
            std::memset(k + len, t.info.type == KeyType::Character ? ' ' : '\0', b.width - len);
        }
        b.recs.push_back(r);
    }
}

void Table::rebuild_bag_from(Bag& bag, const std::vector<TagInfo>& tags) {
    std::vector<Tag*> ts;
    for (std::size_t i = 0; i < tags.size() && i < bag.tags.size(); ++i) ts.push_back(&bag.tags[i]);
    auto keys = collect_keys(ts);
    BagLock lock(*this, bag, true);
    for (std::size_t i = 0; i < ts.size(); ++i) bag.cdx->build_tag_from(tags[i], std::move(keys[i]));
}

// Creates the structural bag's flag in the header (byte 28).
void Table::set_structural_flag(bool on) {
    const unsigned char b = on ? 0x01 : 0x00;
    if (header_.flags == b) return;
    header_.flags = b;
    write_at(fd_.get(), &b, 1, 28, path_);
}

void Table::index_on(const std::string& key, const std::string& tag_name, const IndexOptions& opt) {
    if (read_only_) fail(path_, "table opened read-only");
    if (!exclusive_) fail(path_, "INDEX ON needs the table opened exclusively");
    flush();
    TagInfo info;
    info.name = upper_ascii(TRIM(tag_name)).substr(0, 10);
    if (info.name.empty()) fail(path_, "INDEX ON without a tag name");
    info.key_expr = key;
    info.for_expr = opt.for_expr;
    info.unique = opt.unique;
    info.descending = opt.descending;
    Tag t = make_tag(info);
    if (!t.unusable.empty()) fail(path_, "index tag " + info.name + ": " + t.unusable);
    // The key's type and length come from the blank record.
    refresh_header();
    to_phantom();
    Value blank;
    {
        SelectArea sel(*this);
        blank = t.key.eval();
    }
    switch (blank.type()) {
        case Type::Character:
            info.type = KeyType::Character;
            info.key_len = static_cast<int>(std::min<std::size_t>(blank.as_string().size(), kMaxKeyLen));
            if (info.key_len == 0) fail(path_, "index key " + key + " is empty on a blank record");
            break;
        case Type::Number: info.type = KeyType::Numeric; info.key_len = 8; break;
        case Type::Date: info.type = KeyType::Date; info.key_len = 8; break;
        case Type::Logical: info.type = KeyType::Logical; info.key_len = 1; break;
        default: fail(path_, "index key " + key + " has no indexable type");
    }
    t.info = info;

    const std::string bag_path =
        opt.bag.empty() ? resolve_path(with_extension(path_, ".cdx"))
                        : resolve_path(with_default_extension(opt.bag, ".cdx"));
    const bool structural = opt.bag.empty() || bag_path == resolve_path(with_extension(path_, ".cdx"));
    Bag* bag = nullptr;
    bool fresh = false;   // a bag made just now: nothing in it to keep safe
    for (auto& b : bags_)
        if (b->path == bag_path) bag = b.get();
    if (!bag) {
        auto nb = std::make_unique<Bag>();
        nb->path = bag_path;
        nb->structural = structural;
        try {
            fresh = ::access(bag_path.c_str(), F_OK) != 0;
            nb->cdx = fresh ? CdxFile::create(bag_path) : CdxFile::open(bag_path);
        } catch (const CdxError&) {
            try {
                nb->cdx = CdxFile::create(bag_path);   // unreadable: start it again
            } catch (const CdxError& e) {
                throw TableError(e.what());   // a full disk: the caller's error, as any other
            }
            fresh = true;
        }
        if (!take_share_signal(nb->cdx->fd(), true)) throw TableBusy(bag_path + ": in use by another user");
        for (const TagInfo& ti : nb->cdx->tags()) nb->tags.push_back(make_tag(ti));
        bag = nb.get();
        if (structural) bags_.insert(bags_.begin(), std::move(nb));
        else bags_.push_back(std::move(nb));
    }
    if (structural && !has_structural_index()) fail(path_, "structural index out of place");
    auto keys = collect_keys({&t});
    if (exclusive_ && !fresh) {
        add_tag_aside(*bag, info, std::move(keys[0]));
    } else {
        BagLock lock(*this, *bag, true);
        try {
            bag->cdx->build_tag_from(info, std::move(keys[0]));
        } catch (const CdxError& e) {
            throw TableError(e.what());
        }
    }
    bag->tags.clear();
    for (const TagInfo& ti : bag->cdx->tags()) bag->tags.push_back(make_tag(ti));
    remember_tags(bag->path, bag->cdx->tags());
    if (structural) {
        set_structural_flag(true);
        cdx_lock_scheme_ = true;
    }
    // The new tag becomes the active order.
    int n = 0;
    for (const auto& b : bags_) {
        if (b.get() == bag) {
            n += bag->cdx->tag_number(info.name) + 1;
            break;
        }
        n += static_cast<int>(b->tags.size());
    }
    order_ = n;
    go_top();
}

void Table::reindex() {
    if (read_only_) fail(path_, "table opened read-only");
    if (!exclusive_) fail(path_, "REINDEX needs the table opened exclusively");
    flush();
    rebuild_bags(true);
    go_top();
}

// Every tag of every bag from the records. Written aside and renamed when
// `aside` (the table is exclusive); otherwise in place, under the index lock
// when others share the table.
void Table::rebuild_bags(bool aside) {
    std::vector<Tag*> all;
    for (auto& b : bags_)
        for (Tag& t : b->tags) all.push_back(&t);
    auto keys = collect_keys(all);
    std::size_t k = 0;
    for (auto& b : bags_) {
        std::vector<TagInfo> infos;
        std::vector<KeyBlock> blocks;
        for (const Tag& t : b->tags) {
            infos.push_back(t.info);
            blocks.push_back(std::move(keys[k++]));
        }
        if (aside && exclusive_) {
            build_bag_aside(*b, infos, std::move(blocks));
            continue;
        }
        BagLock lock(*this, *b, true);
        try {
            b->cdx->rebuild(infos, std::move(blocks));
        } catch (const CdxError& e) {
            throw TableError(e.what());
        }
    }
    cur_key_.reset();
}

// Old keys come from the record as it was read, new ones from the buffer;
// only tags whose key or FOR result changed are touched. A UNIQUE tag keeps
// the xBase convention: the key goes when the record holding it leaves it,
// and comes back with the next record that takes it (or a REINDEX).
//
// write_record, when given, puts the record itself in the file after every
// bag whose keys change is locked and carries its update mark, and before
// the first key moves: a process killed between the record and its keys
// leaves the mark, so the next open rebuilds those bags instead of trusting
// entries that still hold the old keys.
void Table::update_indexes(const std::function<void()>& write_record) {
    // A key as its tag stores it, held in place (C keys are at most 240
    // bytes, others 8 or 1).
    struct Key {
        char bytes[240];
        std::size_t len = 0;
        std::string_view view() const { return {bytes, len}; }
    };
    auto key_of = [this](const Tag& t, Key& k) {
        if (t.fast && t.fast->natural_type() == KeyType::Character && t.info.type == KeyType::Character &&
            t.info.key_len <= static_cast<int>(sizeof k.bytes)) {
            k.len = static_cast<std::size_t>(t.info.key_len);
            t.fast->eval_into(buf_.data(), t.info.key_len, k.bytes);
            return;
        }
        const std::string key = eval_key(t);
        k.len = std::min(key.size(), sizeof k.bytes);
        std::memcpy(k.bytes, key.data(), k.len);
    };
    struct Change {
        Key old_key, new_key;
        bool old_in = false, new_in = false;
        bool moved() const { return old_in != new_in || old_key.view() != new_key.view(); }
    };
    // The changes of every tag of every bag side by side, bag by bag.
    struct BagChanges {
        std::size_t first = 0;   // its first tag's change in the plan
        bool moved = false;      // any of its keys
        std::optional<BagLock> lock;
    };
    std::size_t tags = 0;
    for (const auto& b : bags_) tags += b->tags.size();
    std::vector<Change> plan(tags);
    std::vector<BagChanges> per_bag(bags_.size());
    for (std::size_t bi = 0, at = 0; bi < bags_.size(); ++bi) {
        Bag& b = *bags_[bi];
        per_bag[bi].first = at;
        Change* changes = plan.data() + at;
        at += b.tags.size();
        for (std::size_t i = 0; i < b.tags.size(); ++i) {
            Change& c = changes[i];
            if (!b.tags[i].unusable.empty()) continue;   // left as the other program wrote it
            c.new_in = eval_for(b.tags[i]);
            if (c.new_in) key_of(b.tags[i], c.new_key);
        }
        if (!is_new_) {
            std::swap(buf_, orig_);
            try {
                for (std::size_t i = 0; i < b.tags.size(); ++i) {
                    Change& c = changes[i];
                    if (!b.tags[i].unusable.empty()) continue;
                    c.old_in = eval_for(b.tags[i]);
                    if (c.old_in) key_of(b.tags[i], c.old_key);
                }
            } catch (...) {
                std::swap(buf_, orig_);
                throw;
            }
            std::swap(buf_, orig_);
        }
        per_bag[bi].moved = std::any_of(changes, changes + b.tags.size(), [](const Change& c) { return c.moved(); });
    }
    try {
        for (std::size_t bi = 0; bi < bags_.size(); ++bi) {
            if (!per_bag[bi].moved) continue;
            per_bag[bi].lock.emplace(*this, *bags_[bi], true);
            bags_[bi]->cdx->begin_update();
        }
        if (write_record) write_record();
        for (std::size_t bi = 0; bi < bags_.size(); ++bi) {
            if (!per_bag[bi].moved) continue;
            for (std::size_t i = 0; i < bags_[bi]->tags.size(); ++i) {
                const Change& c = plan[per_bag[bi].first + i];
                if (!c.moved()) continue;
                const int tag = static_cast<int>(i);
                if (c.old_in) bags_[bi]->cdx->remove(tag, c.old_key.view(), recno_);
                if (c.new_in) bags_[bi]->cdx->insert(tag, c.new_key.view(), recno_);
            }
            // here, not in the lock's destructor, so that a failed write is reported
            bags_[bi]->cdx->flush();
        }
    } catch (const CdxError& e) {
        throw TableError(e.what());
    }
    cur_key_.reset();
}

}  // namespace qv::rt::table
