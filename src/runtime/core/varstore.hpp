#pragma once
// The variable store: every named variable of the running program.
//
// Names are case-insensitive and trailing blanks do not count ("m->i13_23 "
// is I13_23). A name is interned once into a VarHandle (a small integer);
// hot code keeps the handle and reads through it without hashing strings.
//
// Lifetimes:
//  - Program: created by the start-up code, live until the program ends.
//  - Declaration: created while a DeclarationScope is open (the loaded
//    declaration's values), released all at once when the scope ends.
//  - Private: belong to a routine's PrivateFrame; seen by the routines it
//    calls (dynamic scope), released when the frame ends. A private
//    declaration hides an outer variable of the same name for the frame's
//    life; the outer value comes back afterwards.
// A name that exists nowhere and is assigned is created in the innermost
// frame (PrivateFrame or DeclarationScope), or with Program lifetime when no
// frame is open.
//
// Two ways in:
//  - get/set/exists/release (by name or handle) work on variables only,
//    as "M->NAME" does.
//  - read/assign take a name as an expression writes it and resolve it
//    against the tables: "ALIAS->NAME" is the field in that alias's work
//    area, "M->NAME" (or "MEMVAR->NAME") the variable, "FIELD->NAME" the
//    field of the selected area, and a bare NAME is the field of the selected
//    area when its table has one, the variable otherwise, both for reading
//    and assigning: after appending a record, assign() fills its fields.
//    Copying a field into the variable of the same name is
//    `assign_variable(n, read(n))` (an expression text does it with
//    "NOME := NOME": texts assign variables, see expr.hpp).
//
// Values returned by reference stay valid until the next declaration or
// release of the same name; the store is not thread-safe (one per program).
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>
#include "runtime/core/value.hpp"

namespace qv::rt {

// Reading a name that is neither a variable nor a field of the selected area.
class UndefinedName : public std::runtime_error {
public:
    explicit UndefinedName(std::string name);
    const std::string& name() const { return name_; }

private:
    std::string name_;
};

using VarHandle = std::uint32_t;

enum class Lifetime { Program, Declaration, Private };

// A name split into its alias and its bare name, both upper case with blanks
// cut. alias is empty for a bare name; "M" / "MEMVAR" mean the variable,
// "FIELD" / "_FIELD" the selected area's field.
struct QualifiedName {
    std::string alias;
    std::string name;
    bool forces_variable() const { return alias == "M" || alias == "MEMVAR"; }
    bool forces_field() const { return alias == "FIELD" || alias == "_FIELD"; }
};
QualifiedName split_name(std::string_view text);

class VarStore {
public:
    VarStore();
    VarStore(const VarStore&) = delete;
    VarStore& operator=(const VarStore&) = delete;

    // Upper case, surrounding blanks cut, an "M->" prefix dropped.
    static std::string normalize(std::string_view name);

    // ---- names ----
    // std::invalid_argument for an empty name or one with an alias other
    // than M-> (a field is no variable); so do set/declare given such names.
    VarHandle intern(std::string_view name);
    std::optional<VarHandle> handle_of(std::string_view name) const;  // no interning
    const std::string& name_of(VarHandle h) const;

    // ---- creation (marks the variable as declared) ----
    // Re-declaring a name in the same lifetime/frame sets its value.
    void declare(std::string_view name, Lifetime lifetime, Value v = {});
    void declare_public(std::string_view name, Value v = {}) { declare(name, Lifetime::Program, std::move(v)); }
    // Needs an open DeclarationScope (std::logic_error otherwise).
    void declare_declaration(std::string_view name, Value v = {}) { declare(name, Lifetime::Declaration, std::move(v)); }
    // In the innermost frame; with no frame open it is a program variable.
    void declare_private(std::string_view name, Value v = {}) { declare(name, Lifetime::Private, std::move(v)); }

    // ---- variables only (the "M->" view) ----
    bool exists(VarHandle h) const;
    bool exists(std::string_view name) const;
    // The visible variable; UndefinedName when there is none.
    const Value& get(VarHandle h) const;
    const Value& get(std::string_view name) const;
    // nullptr when the variable does not exist. Elements of arrays held by a
    // variable are changed through the shared array.
    Value* find(VarHandle h);
    const Value* find(VarHandle h) const;
    // Assigns the visible variable; creates it (not declared) in the
    // innermost frame, or with Program lifetime when no frame is open.
    void set(VarHandle h, Value v);
    void set(std::string_view name, Value v);
    // True when the visible variable was created by declare*, false when it
    // came into being by assignment (or does not exist).
    bool is_declared(std::string_view name) const;
    std::optional<Lifetime> lifetime_of(std::string_view name) const;
    // Drops the visible variable; an outer one of the same name comes back.
    void release(VarHandle h);
    void release(std::string_view name);

    // ---- names as expressions write them (fields first) ----
    Value read(std::string_view name) const;
    void assign(std::string_view name, Value v);
    void assign_variable(std::string_view name, Value v) { set(normalize(name), std::move(v)); }

    // ---- frames (use PrivateFrame / DeclarationScope) ----
    enum class FrameKind { Private, Declaration };
    void push_frame(FrameKind kind);
    void pop_frame();
    std::size_t frame_count() const { return frames_.size(); }
    bool in_declaration() const;

    // Drops every variable and frame (program end, tests). Handles stay valid.
    void clear();

private:
    struct Binding {
        Value value;
        std::uint32_t depth;   // 0 = program; k = frames_[k-1]
        bool declared;
    };
    struct Slot {
        std::string name;
        std::vector<Binding> stack;   // sorted by depth; back() is visible
    };
    struct Frame {
        FrameKind kind;
        std::vector<VarHandle> bound;
    };

    Binding& bind(VarHandle h, std::uint32_t depth, bool declared);
    std::uint32_t innermost_depth() const { return static_cast<std::uint32_t>(frames_.size()); }
    std::uint32_t declaration_depth() const;
    Lifetime lifetime_at(std::uint32_t depth) const;

    std::vector<Slot> slots_;
    std::unordered_map<std::string, VarHandle> index_;
    std::vector<Frame> frames_;
};

// The program's store.
VarStore& variables();

// A routine's private variables: everything declared private or created by
// assignment while the frame is innermost is released when it ends.
class PrivateFrame {
public:
    explicit PrivateFrame(VarStore& store = variables()) : store_(store) {
        store_.push_frame(VarStore::FrameKind::Private);
    }
    ~PrivateFrame() { store_.pop_frame(); }
    PrivateFrame(const PrivateFrame&) = delete;
    PrivateFrame& operator=(const PrivateFrame&) = delete;

private:
    VarStore& store_;
};

// The life of one loaded declaration: its variables go when it ends. It is a
// frame too, so names assigned directly inside it are released with it.
class DeclarationScope {
public:
    explicit DeclarationScope(VarStore& store = variables()) : store_(store) {
        store_.push_frame(VarStore::FrameKind::Declaration);
    }
    ~DeclarationScope() { store_.pop_frame(); }
    DeclarationScope(const DeclarationScope&) = delete;
    DeclarationScope& operator=(const DeclarationScope&) = delete;

private:
    VarStore& store_;
};

}  // namespace qv::rt
