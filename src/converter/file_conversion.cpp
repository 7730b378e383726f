#include "converter/file_conversion.hpp"

#include <initializer_list>
#include <vector>

#include "common/avisosn.hpp"
#include "converter/conversion.hpp"
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

// Receipt numbers only: the taxpayer must be in the destination already.
bool receipts(Conversion& c) {
    tb::Table& r = table(9);
    r.set_order(1);
    if (!r.seek(Value(c.cpf))) {
        common::AVISOSN(std::vector<std::string>{"O contribuinte " + taxpayer_name(c.file),
                                                 "não foi localizado em nenhum dos diretórios"_cp,
                                                 "Não será possível então gravar o nro do recibo"_cp},
                        0);
        return false;
    }
    tables::ws().select(9);
    if (!tables::REC_LOCK(kLockSeconds)) return false;
    if (c.y2012()) {
        r.put("RECIBOATU", Value(c.file.header.receipt));
        r.put("RECIBOANT", Value(c.file.header.previous));
    } else if (rt::EMPTY_TEXT(r.get("RECIBOANT").as_string())) {
        r.put("RECIBOANT", Value(c.file.header.receipt));
    }
    r.commit();
    r.unlock();
    return true;
}

// The taxpayer's register row, current; Existing for last year's file of a
// taxpayer already there, Refused on the user's no.
FileOutcome register_row(Conversion& c) {
    tb::Table& r = table(9);
    r.set_order(1);
    if (r.seek(Value(c.cpf))) return c.y2012() ? FileOutcome::Converted : FileOutcome::Existing;
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
        const TablesLocked locks(kind == kGainsOnly ? kGainTables : kFullTables);
        if (!locks.ok()) {
            report.push_back(file.name + ": " + "tabelas em uso por outro usuário, nada convertido"_cp);
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
