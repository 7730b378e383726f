#include "converter/file_conversion.hpp"

#include <initializer_list>
#include <optional>
#include <vector>

#include "common/avisosn.hpp"
#include "converter/conversion.hpp"
#include "converter/other_folder.hpp"
#include "converter/table_rows.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/table_error.hpp"
#include "tables/locks.hpp"
#include "tables/state.hpp"

namespace qv::converter {

namespace {

using rt::operator""_cp;
using rt::Value;

constexpr double kLockSeconds = 2;

constexpr std::initializer_list<int> kFullTables = {1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 15, 16, 17, 18, 20};
constexpr std::initializer_list<int> kGainTables = {7, 8, 9};

std::string taxpayer_name(const DeclarationFile& f) { return f.line(1).text(14, 66); }

const std::string& tables_busy() {
    static const std::string text = "tabelas em uso por outro usuário, nada convertido"_cp;
    return text;
}

// A taxpayer registered in another folder that cannot be written there:
// the file is named in the report with the reason.
void report_elsewhere(Conversion& c, Elsewhere where, const std::string& in_use) {
    c.warn(where == Elsewhere::InUse ? in_use : tables_busy());
}

// The file's receipt numbers on the register's current row.
void store_receipts(const Conversion& c, tb::Table& r) {
    if (c.y2012()) {
        r.put("RECIBOATU", Value(c.file.header.receipt));
        r.put("RECIBOANT", Value(c.file.header.previous));
    } else if (rt::EMPTY_TEXT(r.get("RECIBOANT").as_string())) {
        r.put("RECIBOANT", Value(c.file.header.receipt));
    }
    r.commit();
}

// Receipt numbers only: written in the destination's register, else in
// the register of the folder of the list that holds the taxpayer; a
// taxpayer registered nowhere is not created.
bool receipts(Conversion& c) {
    tb::Table& r = table(9);
    r.set_order(1);
    if (r.seek(Value(c.cpf))) {
        tables::ws().select(9);
        if (!tables::REC_LOCK(kLockSeconds)) return false;
        store_receipts(c, r);
        r.unlock();
        return true;
    }
    std::string in_use;
    const Elsewhere where = write_in_other_folder(c.cpf, {}, [&] { store_receipts(c, table(9)); }, in_use,
                                                  Change::ReceiptsOnly);
    if (where == Elsewhere::Written) return true;
    if (where != Elsewhere::Nowhere) {
        report_elsewhere(c, where, in_use);
        return false;
    }
    common::AVISOSN(std::vector<std::string>{"O contribuinte " + taxpayer_name(c.file),
                                             "não foi localizado em nenhum dos diretórios"_cp,
                                             "Não será possível então gravar o nro do recibo"_cp},
                    0);
    return false;
}

bool registered(const std::string& cpf) {
    tb::Table& r = table(9);
    r.set_order(1);
    return r.seek(Value(cpf));
}

// The taxpayer's register row, current; Existing for last year's file of a
// taxpayer already there, Refused on the user's no.
FileOutcome register_row(Conversion& c) {
    if (registered(c.cpf)) return c.y2012() ? FileOutcome::Converted : FileOutcome::Existing;
    if (c.kind == kGainsOnly) {
        if (!c.y2012()) return FileOutcome::Refused;
        const Value answer = common::AVISOSN(
            std::vector<std::string>{"O contribuinte não foi localizado em nenhum dos diretórios "_cp,
                                     "indicado. Cria assim mesmo com cadastro incompleto?       "},
            2);
        if (answer.as_string() != "S") return FileOutcome::Refused;
    }
    tb::Table& row = new_row(9, c.cpf);
    row.put("NOMECONTR", Value(taxpayer_name(c.file)));
    row.commit();
    return FileOutcome::Converted;
}

bool gains_only(Conversion& c) {
    if (!c.has("60") && !c.has("61") && !c.has("62")) {
        common::AVISOSN("Esse contribuinte não tem ganho de capital"_cp, 0);
        return true;
    }
    CONV_GANHO(c, 1);
    return true;
}

// Capital gains of this year's file of a taxpayer missing from the
// destination but registered in another folder of the list: written
// there. Nothing when the taxpayer is in the destination, or in no folder
// of the list.
std::optional<FileOutcome> gains_elsewhere(Conversion& c) {
    if (!c.y2012() || registered(c.cpf)) return std::nullopt;
    std::string in_use;
    const Elsewhere where = write_in_other_folder(c.cpf, {7, 8}, [&] { gains_only(c); }, in_use);
    if (where == Elsewhere::Nowhere) return std::nullopt;
    if (where == Elsewhere::Written) return FileOutcome::Converted;
    report_elsewhere(c, where, in_use);
    return FileOutcome::Refused;
}

}  // namespace

FileOutcome convert_file(int kind, const std::string& path, std::vector<std::string>& report) {
    const DeclarationFile file = read_declaration(path);
    if (file.fault != FileFault::None) {
        report.push_back(file.name + ": " + fault_text(file.fault));
        return FileOutcome::Refused;
    }
    Conversion c(file, kind, report);
    const auto done = [](bool converted) { return converted ? FileOutcome::Converted : FileOutcome::Refused; };
    // A taxpayer whose declaration is open on another terminal is left to
    // it: its save would write back the rows it loaded over these. The
    // receipt numbers go to the register as the status list puts them, also
    // into a protected declaration; anything else would change it.
    tables::TaxpayerMarks marks;
    const std::string why = kind == kReceiptsOnly ? taxpayer_taken(marks, c.cpf) : declaration_taken(marks, c.cpf);
    if (!why.empty()) {
        report.push_back(file.name + ": " + why);
        return FileOutcome::Refused;
    }
    try {
        if (kind == kReceiptsOnly) return done(receipts(c));
        if (kind == kGainsOnly)
            if (const auto elsewhere = gains_elsewhere(c)) return *elsewhere;
        const TablesLocked locks(kind == kGainsOnly ? kGainTables : kFullTables);
        if (!locks.ok()) {
            c.warn(tables_busy());
            return FileOutcome::Refused;
        }
        if (const FileOutcome taken = register_row(c); taken != FileOutcome::Converted) return taken;
        if (kind == kGainsOnly) return done(gains_only(c));
        CONV_DECL(c);
        CONV_GANHO(c, 0);
        CONV_EXIG(c);
        return FileOutcome::Converted;
    } catch (const tb::TableError& e) {
        report.push_back(file.name + ": " + e.what());
        return FileOutcome::Refused;
    }
}

bool FAZCONV(int kind, const std::string& path, std::vector<std::string>& report) {
    return convert_file(kind, path, report) == FileOutcome::Converted;
}

}  // namespace qv::converter
