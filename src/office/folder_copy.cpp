#include "office/folder_copy.hpp"

#include <vector>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/paths.hpp"
#include "common/windows.hpp"
#include "office/folder_pair.hpp"
#include "office/folder_tables.hpp"
#include "office/reorganise.hpp"
#include "office/taxpayer_marks.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/table/file_names.hpp"
#include "runtime/table/table_error.hpp"
#include "runtime/table/transfer.hpp"
#include "runtime/ui/alert.hpp"
#include "tables/declaration_protection.hpp"
#include "tables/folders.hpp"
#include "tables/locks.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"
#include "tables/taxpayer_mark.hpp"

namespace qv::office {

using rt::operator""_cp;
namespace tb = rt::table;

namespace {

constexpr int kOriginRegister = 29;
constexpr int kDestinationRegister = 9;

struct CopyChoices {
    bool partial = false;   // PARTOT 1
    bool move = false;      // MOVCOP 2
    int part = 1;           // MOVPART: 1 all, 2 income tax, 3 rural
};

std::vector<int> tables_of(int part) {
    std::vector<int> codes;
    if (part == 3) return {15, 16, 17, 18, 19};
    for (int code = kFirstTable; code <= (part == 1 ? kLastTable : 14); ++code)
        if (code != kRegister) codes.push_back(code);
    if (part == 2) codes.push_back(20);
    return codes;
}

int choose(const std::string& text, const std::vector<std::string>& buttons) {
    return rt::ALERT(text, buttons, common::Global("COR_SAY").text());
}

std::optional<CopyChoices> ask_choices() {
    CopyChoices c;
    const int partot = choose("PARCIAL - Copia alguns selecionados ; TOTAL  - Copia todos da pasta      ",
                              {"Parcial", "Total "});
    if (partot == 0) return std::nullopt;
    const int movcop = choose("COPIAR - Copia e mantem o original ; MOVER - Copia e APAGA o original  ",
                              {"Copiar", "Mover"});
    if (movcop == 0) return std::nullopt;
    const int movpart = choose("Tudo - Transfere IR e WZK ; SO IR - Transfere só o IR  ;SO WZK Transfere só o WZK"_cp,
                               {"Tudo", "Só Ir"_cp, "Só WZK"_cp});
    if (movpart == 0) return std::nullopt;
    c.partial = partot == 1;
    c.move = movcop == 2;
    c.part = movpart;
    common::Global("PARTOT").set(rt::Value(partot));
    common::Global("MOVCOP").set(rt::Value(movcop));
    common::Global("MOVPART").set(rt::Value(movpart));
    return c;
}

bool user_stops() {
    if (rt::NEXTKEY() != rt::key::ESC) return false;
    rt::INKEY();
    return common::AVISOSN("Abandona a transferência dos dados?"_cp, 2).as_string() == "S";
}

bool holds_table(const std::string& folder, int code) {
    return !tb::find_in_folder(folder, table_name(code) + ".DBF").empty();
}

// The destination register's row of the taxpayer gets every field of the
// origin's row.
bool copy_register_row(tb::Table& from, const std::string& cpf) {
    tb::Table& to = tables::ws().current(kDestinationRegister);
    tables::ws().select(kDestinationRegister);
    if (!tables::FIL_LOCK(5)) return false;
    to.set_order(1);
    if (!to.seek(cpf_key(cpf)) && !to.append_blank()) {
        to.unlock();
        return false;
    }
    for (const auto& f : from.fields())
        if (to.field_index(f.name) >= 0) to.put(f.name, from.get(f.name));
    to.commit();
    to.unlock();
    return true;
}

// The origin's rows of the taxpayer go, table by table, once the
// destination holds them.
bool remove_from_origin(const std::vector<int>& codes, const std::string& cpf, const std::string& origin) {
    for (const int code : codes) {
        if (!holds_table(origin, code)) continue;
        if (!open_folder_table(origin, code, code + 20, true)) return false;
        delete_taxpayer_rows(tables::ws().current(code + 20), cpf_key(cpf));
        tables::ws().close(code + 20);
    }
    return true;
}

void report_busy(const std::string& folder, int code) {
    common::AVISOSN(std::vector<std::string>{"O arquivo " + folder + table_name(code) + ".DBF",
                                             "está sendo usado em algum terminal. Transferência interrompida."_cp},
                    0);
}

// The taxpayer may be copied: no terminal has it open in either folder
// (its save would undo the copy or the move). Otherwise it is said, and
// the taxpayer is left where it is.
bool taxpayer_free(tables::TaxpayerMarks& marks, const std::string& cpf, const std::string& origin,
                   const std::string& destination) {
    std::string why;
    for (const std::string* folder : {&origin, &destination}) {
        const tables::MarkClaim claim = marks.take(*folder, cpf);
        if (!claim) why = tables::refusal_text(claim, cpf);
        if (!why.empty()) break;
    }
    // Copied over, a declaration the office protected would change.
    if (why.empty() && tables::register_protects(tables::ws().current(kDestinationRegister), cpf))
        why = tables::protection_text();
    if (why.empty()) return true;
    common::AVISOSN(std::vector<std::string>{why, "Esse contribuinte não foi transferido."_cp}, 0);
    return false;
}

// Copies (and moves) one taxpayer; false stops the walk.
bool transfer_taxpayer(tb::Table& reg, const CopyChoices& c, const std::string& origin, const std::string& destination) {
    const std::string cpf = rt::TRIM(reg.get("CPF").as_string());
    tables::TaxpayerMarks marks;
    if (!taxpayer_free(marks, cpf, origin, destination)) return true;
    const std::vector<int> codes = tables_of(c.part);
    for (const int code : codes) {
        if (!holds_table(origin, code)) continue;
        if (!FAZAPP(code, cpf, origin, destination)) {
            report_busy(destination, code);
            return false;
        }
    }
    if (!copy_register_row(reg, cpf)) {
        report_busy(destination, kRegister);
        return false;
    }
    if (!c.move) return true;
    if (!remove_from_origin(codes, cpf, origin)) {
        report_busy(origin, codes.front());
        return false;
    }
    // Only a whole move takes the taxpayer out of the origin's register;
    // a partial one leaves the rest of the declaration where it was.
    if (c.part == 1) {
        reg.delete_record();
        reg.commit();
    }
    return true;
}

void walk(tb::Table& reg, const CopyChoices& c, const std::string& origin, const std::string& destination) {
    const bool overwrite = common::AVISOSN(std::vector<std::string>{"Encontrando CPF iguais ",
                                                                    "Sim - Sobrepõe os dados"_cp,
                                                                    "Não - Salta o CPF      "_cp},
                                           2).as_string() == "S";
    common::Global("SOBREPOE").set(rt::Value(overwrite ? "S" : "N"));
    const std::string word = c.move ? "Movendo" : "Copiando";
    tb::Table& dest = tables::ws().current(kDestinationRegister);
    common::MENS(0, "ESC - Interrompe a transferência"_cp);
    reg.set_order(1);
    std::vector<std::uint32_t> rows;
    for (reg.go_top(); !reg.eof(); reg.skip(1))
        if (!c.partial || reg.get("IMPRE").as_string() == "S") rows.push_back(reg.recno());
    for (const std::uint32_t row : rows) {
        reg.go_to(row);
        if (!overwrite && dest.seek(cpf_key(reg.get("CPF").as_string()))) {
            reg.put("IMPRE", rt::Value("N"));
            reg.commit();
            continue;
        }
        if (user_stops()) break;
        common::MENS(13, word + " os dados... " + rt::TRIM(reg.get("NOMECONTR").as_string()));
        const bool ok = transfer_taxpayer(reg, c, origin, destination);
        reg.go_to(row);
        if (!ok) break;
    }
    common::FECHAJAN(10);
    common::MENS();
}

// The destination becomes the current folder, listed and selected.
void switch_to(const std::string& destination) {
    tables::ABERTURA(50);
    tb::Table* list = tables::ws().table(50);
    if (!list) return;
    const std::string name = common::BAR_FORA(destination);
    tables::ws().select(50);
    if (!list->seek(rt::Value(rt::UPPER(name)))) {
        if (!tables::ADD_REC(5)) return;
        list->put("DIRETOR", rt::Value(name));
        list->unlock();
    }
    tables::TROCASIM(1);
}

bool copy_between_folders() {
    if (!ask_folder_pair(PairUse::CopyBetween)) return false;
    const std::string origin = origin_folder();
    const std::string destination = destination_folder();
    tables::ws().close_all();
    tables::ws().set_deleted(true);
    if (!open_folder_table(origin, kRegister, kOriginRegister, true)) {
        report_busy(origin, kRegister);
        return false;
    }
    if (!open_folder_table(destination, kRegister, kDestinationRegister, false, "DESTINO")) {
        tables::ws().close(kOriginRegister);
        report_busy(destination, kRegister);
        return false;
    }
    const auto choices = ask_choices();
    if (!choices) {
        tables::ws().close(kOriginRegister);
        tables::ws().close(kDestinationRegister);
        return true;
    }
    const common::Global locarq("LOCARQ");
    const std::string current = tables::client_folder();
    common::Global("DIRORIG").set(rt::Value(current));
    tb::Table& reg = tables::ws().current(kOriginRegister);
    if (choices->part == 3) reg.set_filter([&reg] { return reg.get("TEMRURAL").as_string() == "S"; }, "TEMRURAL = 'S'");
    if (choices->partial) mark_taxpayers(kOriginRegister);
    walk(reg, *choices, origin, destination);
    reg.clear_filter();
    tables::ws().close(kOriginRegister);
    tables::ws().close(kDestinationRegister);
    REORG(destination, 3);
    const bool change = common::AVISOSN("Muda para a nova Pasta?", 2).as_string() == "S";
    tables::set_client_folder(current);
    tables::ABERTURA(9);
    tables::ABERTURA(50);
    if (change) switch_to(destination);
    common::FECHAJAN(10);
    tables::ABERTURA(43);
    tables::ABERTURA(42);
    return true;
}

}  // namespace

bool FAZAPP(int code, const std::string& cpf, const std::string& origin, const std::string& destination) {
    if (!open_folder_table(destination, code, code, true, "DESTIN" + std::to_string(code))) return false;
    tb::Table& to = tables::ws().current(code);
    const rt::Value key = cpf_key(cpf);
    bool ok = true;
    try {
        delete_taxpayer_rows(to, key);
        tb::TransferOptions opt;
        opt.for_cond = [key] { return tables::ws().current().get("CPF").as_string() == key.as_string(); };
        tb::append_from(tables::ws(), to, origin + table_name(code), opt);
    } catch (const tb::TableError&) {
        ok = false;
    }
    tables::ws().close(code);
    return ok;
}

bool TRANOME(int mode) {
    if (mode == 2) return ask_folder_pair(PairUse::CopyTo);
    if (mode == 3) return ask_folder_pair(PairUse::CopyFrom);
    return copy_between_folders();
}

}  // namespace qv::office
