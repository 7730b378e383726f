// Moving through a table in natural or index order.
#include "runtime/table/table.hpp"
#include "runtime/table/table_error.hpp"
#include "runtime/table/table_impl.hpp"

namespace qv::rt::table {

bool Table::visible() {
    if (eof_) return false;
    if (ws_.deleted_hidden() && deleted()) return false;
    if (!filter_) return true;
    SelectArea sel(*this);
    return filter_();
}

void Table::set_filter(const Expr& e) { set_filter(condition_of(e), e.text()); }

void Table::set_filter(Condition c, std::string text) {
    filter_ = std::move(c);
    filter_text_ = filter_ ? std::move(text) : std::string();
}

void Table::clear_filter() { set_filter(Condition{}, {}); }

bool Table::load_visible(std::uint32_t recno) {
    read_record(recno);
    return visible();
}

bool Table::active_order_tag(Bag*& bag, int& tag) {
    if (order_ == 0) return false;
    int n = order_;
    for (auto& b : bags_) {
        if (n <= static_cast<int>(b->tags.size())) {
            const Tag& t = b->tags[static_cast<std::size_t>(n - 1)];
            if (!t.unusable.empty()) fail(path_, "order " + t.info.name + " cannot be used: " + t.unusable);
            bag = b.get();
            tag = n - 1;
            return true;
        }
        n -= static_cast<int>(b->tags.size());
    }
    return false;
}

KeyPos Table::current_keypos() {
    if (cur_key_) return *cur_key_;
    Bag* bag = nullptr;
    int tag = 0;
    if (!active_order_tag(bag, tag)) return {};
    KeyPos k{eval_key(bag->tags[static_cast<std::size_t>(tag)]), recno_};
    cur_key_ = k;
    return k;
}

void Table::natural_forward(std::uint32_t from) {
    for (std::uint32_t r = from;; ++r) {
        if (r > reccount_) refresh_header();
        if (r > reccount_) break;
        if (load_visible(r)) return;
    }
    to_phantom();
}

void Table::natural_backward(std::uint32_t from) {
    for (std::uint32_t r = from; r >= 1; --r)
        if (load_visible(r)) return;
    bof_ = true;
    natural_forward(1);
    bof_ = true;
}

// Walks the active order from `from` (exclusive; none = from the first or
// last key) to the first visible record; false when there is none.
bool Table::ordered_walk(std::optional<KeyPos> from, bool forward) {
    Bag* bag = nullptr;
    int tag = 0;
    active_order_tag(bag, tag);
    for (;;) {
        std::optional<KeyPos> k = index_read(*bag, [&] {
            if (forward) return from ? bag->cdx->next(tag, *from) : bag->cdx->first(tag);
            return from ? bag->cdx->prev(tag, *from) : bag->cdx->last(tag);
        });
        if (!k) return false;
        if (k->recno >= 1 && k->recno > reccount_) refresh_header();
        if (k->recno >= 1 && k->recno <= reccount_ && load_visible(k->recno)) {
            cur_key_ = *k;
            return true;
        }
        from = k;
    }
}

void Table::ordered_forward(std::optional<KeyPos> from) {
    if (!ordered_walk(std::move(from), true)) to_phantom();
}

void Table::ordered_backward(std::optional<KeyPos> from) {
    if (ordered_walk(std::move(from), false)) return;
    bof_ = true;
    ordered_forward(std::nullopt);
    bof_ = true;
}

void Table::go_to(std::uint32_t recno) {
    flush();
    found_ = false;
    bof_ = false;
    if (recno >= 1 && recno > reccount_) refresh_header();
    if (recno < 1 || recno > reccount_) {
        refresh_header();
        to_phantom();
        return;
    }
    read_record(recno);
}

void Table::go_top() {
    flush();
    found_ = false;
    bof_ = false;
    Bag* bag = nullptr;
    int tag = 0;
    if (active_order_tag(bag, tag)) ordered_forward(std::nullopt);
    else natural_forward(1);
    if (eof_) bof_ = true;
}

void Table::go_bottom() {
    flush();
    found_ = false;
    bof_ = false;
    Bag* bag = nullptr;
    int tag = 0;
    if (active_order_tag(bag, tag)) {
        ordered_backward(std::nullopt);
    } else {
        refresh_header();
        natural_backward(reccount_);
    }
    if (bof_ && eof_) return;
    bof_ = eof_;
}

void Table::skip(long n) {
    flush();
    found_ = false;
    Bag* bag = nullptr;
    int tag = 0;
    const bool ordered = active_order_tag(bag, tag);
    if (n == 0) {   // re-reads the current record
        if (!eof_) {
            auto key = cur_key_;
            read_record(recno_);
            cur_key_ = key;
        }
        return;
    }
    bof_ = false;
    for (; n > 0; --n) {
        if (eof_) return;
        if (ordered) ordered_forward(current_keypos());
        else natural_forward(recno_ + 1);
        if (eof_) return;
    }
    for (; n < 0; ++n) {
        if (eof_) {
            if (ordered) ordered_backward(std::nullopt);
            else { refresh_header(); natural_backward(reccount_); }
            if (eof_) { bof_ = true; return; }
            continue;
        }
        if (ordered) ordered_backward(current_keypos());
        else natural_backward(recno_ - 1);
        if (bof_) return;
    }
}

bool Table::seek(const Value& key, bool soft, bool last) {
    flush();
    Bag* bag = nullptr;
    int tag = 0;
    if (!active_order_tag(bag, tag)) fail(path_, "SEEK without an active order");
    const TagInfo& info = bag->tags[static_cast<std::size_t>(tag)].info;
    std::string kb;
    if (info.type == KeyType::Character) {
        if (!key.is_string()) fail(path_, "SEEK with a key of the wrong type");
        kb = key.as_string().substr(0, static_cast<std::size_t>(info.key_len));
    } else {
        const bool ok = (info.type == KeyType::Numeric && key.is_number()) ||
                        (info.type == KeyType::Date && key.is_date()) ||
                        (info.type == KeyType::Logical && key.is_logical());
        if (!ok) fail(path_, "SEEK with a key of the wrong type");
        kb = encode_key(key, info.type, info.key_len);
    }
    const bool partial = true;
    bof_ = false;
    std::optional<KeyPos> k;
    k = index_read(*bag, [&] {
        std::optional<KeyPos> r = bag->cdx->seek(tag, kb);
        if (last && r && compare_keys(r->key, kb, info.type, partial) == 0) {
            // the last of the equal keys
            for (;;) {
                auto nx = bag->cdx->next(tag, *r);
                if (!nx || compare_keys(nx->key, kb, info.type, partial) != 0) break;
                r = nx;
            }
        }
        return r;
    });
    if (!k) {
        found_ = false;
        to_phantom();
        return false;
    }
    if (k->recno > reccount_) refresh_header();
    if (k->recno >= 1 && k->recno <= reccount_ && load_visible(k->recno)) {
        cur_key_ = *k;
    } else if (last) {
        ordered_backward(*k);
        if (bof_) { bof_ = false; }
    } else {
        ordered_forward(*k);
    }
    found_ = !eof_ && cur_key_ && compare_keys(cur_key_->key, kb, info.type, partial) == 0;
    if (!found_ && !soft) to_phantom();
    return found_;
}

bool Table::locate(Condition cond, Condition while_cond, bool rest) {
    locate_for_ = std::move(cond);
    locate_while_ = std::move(while_cond);
    if (!rest) go_top();
    for (; !eof_; skip(1)) {
        SelectArea sel(*this);
        if (locate_while_ && !locate_while_()) break;
        if (!locate_for_ || locate_for_()) {
            found_ = true;
            return true;
        }
    }
    if (!eof_) to_phantom();
    found_ = false;
    return false;
}

bool Table::continue_locate() {
    if (eof_) { found_ = false; return false; }
    skip(1);
    return locate(locate_for_, locate_while_, true);
}

}  // namespace qv::rt::table
