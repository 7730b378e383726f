#pragma once
// The work areas of the program, numbered 1..99, each with at most one open
// table and its alias. The system addresses its tables by area number and
// selects them by number or alias. The workspace is also how expressions
// reach fields: it is the FieldResolver of the core.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include "runtime/core/fields.hpp"
#include "runtime/table/dbf_format.hpp"
#include "runtime/table/table.hpp"

namespace qv::rt::table {

inline constexpr int kMaxArea = 99;

class Workspace : public FieldResolver {
public:
    Workspace();
    ~Workspace() override;

    // SELECT n (0 = the lowest free area); returns the area now selected.
    int select(int area);
    // SELECT alias or SELECT "09"; returns the area, 0 when unknown (the
    // selection is then left unchanged).
    int select(std::string_view alias_or_number);
    int selected() const { return selected_; }

    // USE: opens `file` in the selected area (closing what was there).
    // ".dbf" is added when the name has no extension; the name is found
    // ignoring case. Throws TableBusy when another user holds the table in
    // a conflicting mode, TableError when missing or unreadable.
    Table& use(std::string_view file, const OpenOptions& opt = {});
    Table& use_in(int area, std::string_view file, const OpenOptions& opt = {});
    void close(int area = 0);     // 0 = the selected area
    void close_all();

    // The table of an area (0 = selected); nullptr when the area is empty.
    Table* table(int area = 0);
    // As table(), but throws TableError when the area is empty.
    Table& current(int area = 0);
    std::string alias(int area = 0) const;

    // SET DELETED ON: deleted records are passed over by navigation.
    void set_deleted(bool hide) { hide_deleted_ = hide; }
    bool deleted_hidden() const { return hide_deleted_; }

    // FieldResolver
    int selected_area() const override { return selected_; }
    int area_of_alias(std::string_view alias) const override;
    int field_index(int area, std::string_view name) const override;
    std::uint64_t generation(int area) const override;
    Value get_field(int area, int index) const override;
    void put_field(int area, int index, const Value& v) override;

    // Selects an area for the life of the guard (expressions of a table are
    // evaluated with its own area selected, and with its own workspace as
    // the resolver when a program keeps more than one).
    class Selected {
    public:
        Selected(Workspace& ws, int area)
            : ws_(ws), saved_(ws.selected_), saved_resolver_(field_resolver()) {
            ws.selected_ = area;
            if (saved_resolver_ != &ws) set_field_resolver(&ws);
        }
        ~Selected() {
            ws_.selected_ = saved_;
            if (saved_resolver_ != &ws_) set_field_resolver(saved_resolver_);
        }
        Selected(const Selected&) = delete;
        Selected& operator=(const Selected&) = delete;

    private:
        Workspace& ws_;
        int saved_;
        FieldResolver* saved_resolver_;
    };

private:
    Table* at(int area) const;
    std::array<std::unique_ptr<Table>, kMaxArea + 1> areas_;
    std::array<std::uint64_t, kMaxArea + 1> generation_{};
    std::uint64_t next_generation_ = 1;
    int selected_ = 1;
    bool hide_deleted_ = false;
};

// The program's workspace, installed as the field resolver on first use and
// with the table functions (RECNO, EOF, DELETED, ...) registered.
Workspace& workspace();

// Registers RECNO, EOF, BOF, DELETED, FOUND, LASTREC, RECCOUNT, FIELDGET,
// FIELDPUT, FIELDNAME, FCOUNT, ALIAS, SELECT, USED, DBSEEK-free look-ups
// with the expression function registry, acting on `ws`.
void register_table_functions(Workspace& ws);

}  // namespace qv::rt::table
