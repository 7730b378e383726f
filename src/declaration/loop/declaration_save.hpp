#pragma once
// Saving the loaded declaration: the register and declaration records from
// the variables, then each table's work copy in place of the taxpayer's rows
// of the shared table. Each shared table is rewritten beside itself and put
// in place whole, so a save cut short leaves every table with either the
// old rows or the new ones; a save that fails (a full disk, a damaged
// table) changes no table at all. The work copies stay on disk until the
// next load, and F4 at the CPF prompt reopens them.
#include <string_view>
#include <vector>
#include "runtime/core/value.hpp"
#include "runtime/table/replace_records.hpp"

namespace qv::declaration {

inline constexpr std::string_view kSaveWait = "Aguardando outro Terminal salvar dados...";

// The tables of one save written all or none. While a batch lives,
// SALVA_PARC writes each changed table beside the shared one and keeps
// both held; install() puts them all in place. A batch ended without
// install() leaves every shared table as it was and the work copies open,
// so that a save that fails half way (a full disk) changes nothing.
class SaveBatch {
public:
    SaveBatch();
    ~SaveBatch();
    SaveBatch(const SaveBatch&) = delete;
    SaveBatch& operator=(const SaveBatch&) = delete;

    // The batch SALVA_PARC writes into; nullptr when none.
    static SaveBatch* current();
    void add(int table, rt::table::PreparedReplace rewrite);
    // SALVA_PARC left the work copy of `table` closed (a save that ends the
    // declaration): reopened when the batch is dropped.
    void closed_copy(int table) { closed_.push_back(table); }
    // Throws TableError when a rename fails.
    void install();

private:
    struct Pending {
        int table;
        rt::table::PreparedReplace rewrite;
    };
    void drop() noexcept;
    std::vector<Pending> pending_;
    std::vector<int> closed_;
    SaveBatch* outer_;
    bool installed_ = false;
};

// Mode 1: on leaving the declaration (work copies closed); 0: autosave
// (they stay open, each on its record). False when nothing could be saved
// (the work copies then stay as they are).
bool SALVATUDO(int mode);
// Writes table `table` (2-20) back; `mode` as SALVATUDO's.
void SALVA_PARC(int table, int mode);
// In the selected area: seeks `key` and locks the record found, or appends
// a locked one. False when neither could be had.
bool PREP_REG(const rt::Value& key);
// INDGAS and SALDO kept inside their field widths.
void VE_LIM_NEG();

}  // namespace qv::declaration
