#include "runtime/core/varstore.hpp"

#include <algorithm>
#include "runtime/core/fields.hpp"

namespace qv::rt {

namespace {

// Variable names are ASCII identifiers; only those letters fold.
char fold(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string_view trim_blanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

std::string upper_trimmed(std::string_view s) {
    s = trim_blanks(s);
    std::string out(s);
    for (char& c : out) c = fold(c);
    return out;
}

}  // namespace

UndefinedName::UndefinedName(std::string name)
    : std::runtime_error("variable or field not found: " + name), name_(std::move(name)) {}

QualifiedName split_name(std::string_view text) {
    QualifiedName q;
    auto arrow = text.find("->");
    if (arrow == std::string_view::npos) {
        q.name = upper_trimmed(text);
    } else {
        q.alias = upper_trimmed(text.substr(0, arrow));
        q.name = upper_trimmed(text.substr(arrow + 2));
    }
    return q;
}

VarStore::VarStore() = default;

std::string VarStore::normalize(std::string_view name) {
    QualifiedName q = split_name(name);
    if (q.alias.empty() || q.forces_variable()) return q.name;
    return q.alias + "->" + q.name;   // not a variable name; kept whole
}

VarHandle VarStore::intern(std::string_view name) {
    std::string key = normalize(name);
    // A field reference or nothing at all would become a variable nobody
    // can reach by its name; that is the caller's mistake.
    if (key.empty() || key.find("->") != std::string::npos)
        throw std::invalid_argument("not a variable name: \"" + std::string(name) + "\"");
    if (auto it = index_.find(key); it != index_.end()) return it->second;
    auto h = static_cast<VarHandle>(slots_.size());
    slots_.push_back(Slot{key, {}});
    index_.emplace(std::move(key), h);
    return h;
}

std::optional<VarHandle> VarStore::handle_of(std::string_view name) const {
    auto it = index_.find(normalize(name));
    if (it == index_.end()) return std::nullopt;
    return it->second;
}

const std::string& VarStore::name_of(VarHandle h) const { return slots_.at(h).name; }

std::uint32_t VarStore::declaration_depth() const {
    for (std::size_t i = frames_.size(); i > 0; --i)
        if (frames_[i - 1].kind == FrameKind::Declaration) return static_cast<std::uint32_t>(i);
    return 0;
}

bool VarStore::in_declaration() const { return declaration_depth() != 0; }

Lifetime VarStore::lifetime_at(std::uint32_t depth) const {
    if (depth == 0) return Lifetime::Program;
    return frames_[depth - 1].kind == FrameKind::Declaration ? Lifetime::Declaration : Lifetime::Private;
}

VarStore::Binding& VarStore::bind(VarHandle h, std::uint32_t depth, bool declared) {
    auto& stack = slots_[h].stack;
    auto pos = std::find_if(stack.begin(), stack.end(), [&](const Binding& b) { return b.depth >= depth; });
    if (pos != stack.end() && pos->depth == depth) {
        pos->declared = pos->declared || declared;
        return *pos;
    }
    pos = stack.insert(pos, Binding{Value{}, depth, declared});
    if (depth > 0) frames_[depth - 1].bound.push_back(h);
    return *pos;
}

void VarStore::declare(std::string_view name, Lifetime lifetime, Value v) {
    std::uint32_t depth = 0;
    switch (lifetime) {
    case Lifetime::Program: depth = 0; break;
    case Lifetime::Private: depth = innermost_depth(); break;
    case Lifetime::Declaration:
        depth = declaration_depth();
        if (depth == 0) throw std::logic_error("declaration variable outside a declaration: " + normalize(name));
        break;
    }
    bind(intern(name), depth, true).value = std::move(v);
}

bool VarStore::exists(VarHandle h) const { return h < slots_.size() && !slots_[h].stack.empty(); }

bool VarStore::exists(std::string_view name) const {
    auto h = handle_of(name);
    return h && exists(*h);
}

const Value* VarStore::find(VarHandle h) const {
    if (h >= slots_.size() || slots_[h].stack.empty()) return nullptr;
    return &slots_[h].stack.back().value;
}

Value* VarStore::find(VarHandle h) {
    if (h >= slots_.size() || slots_[h].stack.empty()) return nullptr;
    return &slots_[h].stack.back().value;
}

const Value& VarStore::get(VarHandle h) const {
    if (const Value* v = find(h)) return *v;
    throw UndefinedName(h < slots_.size() ? slots_[h].name : std::string("?"));
}

const Value& VarStore::get(std::string_view name) const {
    auto h = handle_of(name);
    if (!h || !exists(*h)) throw UndefinedName(normalize(name));
    return get(*h);
}

void VarStore::set(VarHandle h, Value v) {
    if (Value* cur = find(h)) {
        *cur = std::move(v);
        return;
    }
    bind(h, innermost_depth(), false).value = std::move(v);
}

void VarStore::set(std::string_view name, Value v) { set(intern(name), std::move(v)); }

bool VarStore::is_declared(std::string_view name) const {
    auto h = handle_of(name);
    return h && exists(*h) && slots_[*h].stack.back().declared;
}

std::optional<Lifetime> VarStore::lifetime_of(std::string_view name) const {
    auto h = handle_of(name);
    if (!h || !exists(*h)) return std::nullopt;
    return lifetime_at(slots_[*h].stack.back().depth);
}

void VarStore::release(VarHandle h) {
    if (exists(h)) slots_[h].stack.pop_back();
}

void VarStore::release(std::string_view name) {
    if (auto h = handle_of(name)) release(*h);
}

void VarStore::push_frame(FrameKind kind) { frames_.push_back(Frame{kind, {}}); }

void VarStore::pop_frame() {
    if (frames_.empty()) return;   // after clear() with frames still open
    const auto depth = innermost_depth();
    for (VarHandle h : frames_.back().bound) {
        auto& stack = slots_[h].stack;
        // Deeper frames are gone already, so the binding is on top, unless
        // it was released meanwhile.
        if (!stack.empty() && stack.back().depth == depth) stack.pop_back();
    }
    frames_.pop_back();
}

void VarStore::clear() {
    for (auto& s : slots_) s.stack.clear();
    frames_.clear();
}

// ---- names as expressions write them ----

namespace {

struct FieldRef {
    FieldResolver* resolver = nullptr;
    int area = 0;
    int index = -1;
    explicit operator bool() const { return index >= 0; }
};

// The field an aliased name designates; UndefinedName when there is none.
FieldRef aliased_field(const QualifiedName& q) {
    FieldResolver* r = field_resolver();
    int area = 0;
    if (r) area = q.forces_field() ? r->selected_area() : r->area_of_alias(q.alias);
    int index = (r && area > 0) ? r->field_index(area, q.name) : -1;
    if (index < 0) throw UndefinedName(q.alias + "->" + q.name);
    return FieldRef{r, area, index};
}

// The field of the selected area with that name, if any.
FieldRef selected_field(const std::string& name) {
    FieldResolver* r = field_resolver();
    if (!r) return {};
    int area = r->selected_area();
    if (area <= 0) return {};
    return FieldRef{r, area, r->field_index(area, name)};
}

}  // namespace

Value VarStore::read(std::string_view text) const {
    QualifiedName q = split_name(text);
    if (q.forces_variable()) return get(q.name);
    if (!q.alias.empty()) {
        FieldRef f = aliased_field(q);
        return f.resolver->get_field(f.area, f.index);
    }
    if (FieldRef f = selected_field(q.name)) return f.resolver->get_field(f.area, f.index);
    return get(q.name);
}

void VarStore::assign(std::string_view text, Value v) {
    QualifiedName q = split_name(text);
    if (q.forces_variable()) {
        set(q.name, std::move(v));
        return;
    }
    if (!q.alias.empty()) {
        FieldRef f = aliased_field(q);
        f.resolver->put_field(f.area, f.index, v);
        return;
    }
    if (FieldRef f = selected_field(q.name)) {
        f.resolver->put_field(f.area, f.index, v);
        return;
    }
    set(q.name, std::move(v));
}

VarStore& variables() {
    static VarStore store;
    return store;
}

}  // namespace qv::rt
