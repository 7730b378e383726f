#include "converter/last_year_import.hpp"

#include <vector>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/paths.hpp"
#include "common/windows.hpp"
#include "converter/converter_globals.hpp"
#include "converter/converter_screens.hpp"
#include "converter/destination_tables.hpp"
#include "converter/disk_import.hpp"
#include "converter/folder_form.hpp"
#include "converter/name_grid.hpp"
#include "converter/table_rows.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/file_names.hpp"
#include "runtime/table/transfer.hpp"
#include "runtime/ui/alert.hpp"
#include "tables/folders.hpp"
#include "tables/locks.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::converter {

namespace {

using common::Global;
using rt::operator""_cp;
using rt::Value;

constexpr int kPickList = 70;

// The tables a new filing year reads from last year's edition.
SourceTables last_year_tables(const std::string& folder, std::vector<std::string>& missing) {
    return SourceTables(folder, "IMP", "11", {9, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 14, 15, 16, 17, 18}, missing);
}

// The cash-book program's tables: no year in their names; its table 10
// holds the rural results, 11 the expenses, 12 and 13 rural assets and
// debts, 15 the rural properties.
SourceTables cash_book_tables(const std::string& folder, std::vector<std::string>& missing) {
    return SourceTables(folder, "IRM", "", {9, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14, 15}, missing);
}

// The destination tables not opened by CRIA_BASE that the imports write.
bool open_destination() {
    if (!CRIA_BASE()) return false;
    for (const int code : {10, 11, 14})
        if (!tables::ABERTURA(code)) return false;
    for (const int code : {15, 16, 17, 18, 19})
        if (!tables::ABERTURA(code)) return false;
    return true;
}

// Registers written before the cash book had the field TITULO use a
// layout this import does not know.
bool cash_book_version_known(tb::Table& reg) {
    if (reg.field_index("TITULO") >= 0) return true;
    common::AVISOSN(std::vector<std::string>{"Atenção! A conversão do KVB só é feita para quem estiver"_cp,
                                             "com a versão 11.5 ou posterior. Verifique sua versão.   "_cp},
                    0);
    return false;
}

// Every register row of last year with a CPF, as a row of the pick list.
void list_register(tb::Table& reg, int id) {
    tb::Table& list = tables::ws().current(kPickList);
    reg.set_order(0);
    for (reg.go_top(); !reg.eof(); reg.skip(1)) {
        if (reg.deleted() || rt::ALLTRIM(text_of(reg, "CPF")).empty()) continue;
        tables::ws().select(kPickList);
        if (!tables::ADD_REC(2)) continue;
        list.put("CPF", reg.get("CPF"));
        list.put("NOMECONTR", Value(text_of(reg, "NOMECONTR")));
        list.put("ORIGEM", Value(id == kLastYear ? "QV 2011     " : "KVB/QV 2012 "));
        list.commit();
    }
    list.go_top();
}

int sold_assets_choice() {
    const int chosen = rt::ALERT(std::vector<std::string>{"Ao buscar dados de 2011 para 2012", "caso encontre um bem vendido qual",
                                                          "     a providência a tomar ?     "_cp,
                                                          " Não transporte esse bem p/QV2012"_cp,
                                                          " Sim. Transporte tudo como está. "_cp},
                                 {"Não"_cp, "Sim"});
    // Esc leaves the sold assets where they were: nothing is dropped.
    return chosen == 1 ? kDropSold : kCarrySold;
}

bool seek_source(tb::Table& reg, const std::string& cpf) {
    reg.set_order(0);
    for (reg.go_top(); !reg.eof(); reg.skip(1))
        if (!reg.deleted() && rt::RTRIM(text_of(reg, "CPF")) == cpf) return true;
    return false;
}

bool in_destination(const std::string& cpf) {
    tb::Table& reg = table(9);
    reg.set_order(1);
    return reg.seek(Value(cpf));
}

void report_missing(const std::vector<std::string>& missing) {
    if (missing.empty()) return;
    std::vector<std::string> lines{"Tabelas de origem não lidas:"_cp};
    for (const std::string& m : missing) lines.push_back(rt::LEFT(m, 58));
    common::AVISOSN(lines, 0);
}

void report_refused(const std::vector<std::string>& refused) {
    if (refused.empty()) return;
    constexpr std::size_t kShown = 12;
    std::vector<std::string> lines{"Contribuintes não convertidos:"_cp};
    for (std::size_t i = 0; i < refused.size() && i < kShown; ++i) lines.push_back(rt::LEFT(refused[i], 58));
    if (refused.size() > kShown) lines.push_back("... e mais " + std::to_string(refused.size() - kShown));
    common::AVISOSN(lines, 0);
}

// The rows appended to this year's tables since the object was made, taken
// away again when a taxpayer cannot be finished.
class AppendedRows {
public:
    explicit AppendedRows(const std::vector<int>& codes) {
        for (const int code : codes) ends_.emplace_back(code, table(code).lastrec());
    }
    void undo() {
        for (const auto& [code, end] : ends_) {
            tb::Table& t = table(code);
            for (std::uint32_t r = end + 1; r <= t.lastrec(); ++r) {
                t.go_to(r);
                if (!t.deleted()) t.delete_record();
            }
            t.commit();
        }
    }

private:
    std::vector<std::pair<int, std::uint32_t>> ends_;
};

void carry_last_year(SourceTables& src, const std::string& cpf, int sold) {
    Global{"TAM_CALC"}.set(Value(""));
    carry_register(src, cpf);
    tables::MOSTRADOR(3, 1);
    carry_declaration_record(src, cpf);
    tables::MOSTRADOR(3, 1);
    carry_rows(src, cpf);
    tables::MOSTRADOR(3, 1);
    carry_blocks(src, cpf, 4, sold);
    carry_blocks(src, cpf, 5, sold);
    tables::MOSTRADOR(3, 1);
    const int sales = carry_gains(src, cpf);
    carry_notes(src, cpf, sales);
    tables::MOSTRADOR(3, 1);
    join_asset_continuations(cpf);
    if (text_of(*src.get(9), "TEMRURAL") == "S") CONV_HELPAR(src, cpf);
    tables::MOSTRADOR(3, 1);
}

std::string refused_line(SourceTables& src, const std::string& cpf, const std::string& why) {
    return rt::TRANSFORM(Value(cpf), "@R 999.999.999-99") + " " + rt::LEFT(rt::TRIM(text_of(*src.get(9), "NOMECONTR")), 15) +
           ": " + why;
}

// The sale dates of a taxpayer already here go to its register, unless a
// terminal has its declaration open (its save would put the old ones back):
// then it is named in the report.
bool dates_of_sales(SourceTables& src, const std::string& cpf, std::vector<std::string>& report) {
    tables::TaxpayerMarks marks;
    if (std::string why = declaration_taken(marks, cpf); !why.empty()) {
        report.push_back(std::move(why));
        return false;
    }
    BUSCA_DATAVEN(src, cpf);
    return true;
}

Counters convert_marked_taxpayers(SourceTables& src, int sold, int id) {
    tb::Table& list = tables::ws().current(kPickList);
    list.set_order(1);
    std::vector<std::string> refused;
    Counters c;
    for (list.go_top(); !list.eof(); list.skip(1)) c.to_convert += list.get("IMPRE").as_string() == "S";
    c.left = c.to_convert;
    MTELA1(4);
    show_counters(c);
    bool window = false;
    for (list.go_top(); !list.eof(); list.skip(1)) {
        if (list.get("IMPRE").as_string() != "S") continue;
        const std::string cpf = rt::RTRIM(list.get("CPF").as_string());
        if (!seek_source(*src.get(9), cpf)) continue;
        --c.left;
        if (in_destination(cpf)) {
            if (table(9).get("NOVO").as_string() != "S" && !dates_of_sales(src, cpf, refused)) ++c.refused;
            else ++c.existing;
        } else {
            if (!window) {
                MTELA3(3);
                common::MENS(0, "ESC - Interrompe a conversão"_cp);
                window = true;
            }
            show_taxpayer(cpf, list.get("NOMECONTR").as_string());
            Global{"NOVIN"}.set(Value(true));
            if (stop_asked()) break;
            common::MENS(0, "Convertendo ");
            if (CONV_HELPIR(src, cpf, sold, id, &refused)) ++c.converted;
            else ++c.refused;
        }
        show_counters(c);
    }
    common::MENS();
    report_refused(refused);
    return c;
}

}  // namespace

void CONVIRHELP(int id) {
    common::MENS(0, "Use a Tecla F1 para selecionar as pastas de origem do QV ou WZK");
    if (!PEGAOSDIR(1)) return;
    if (!open_destination() || !tables::ABERTURA(kPickList)) return;
    std::vector<std::string> missing;
    const std::string folder = common::BAR_DIR(Global{"ARQORIG"}.text());
    SourceTables src = id == kCashBook ? cash_book_tables(folder, missing) : last_year_tables(folder, missing);
    report_missing(missing);
    if (!src.get(9)) return;
    if (id == kCashBook && !cash_book_version_known(*src.get(9))) return;
    tables::ws().current(kPickList).zap();
    list_register(*src.get(9), id);
    EDITA(1);
    tb::Table& list = tables::ws().current(kPickList);
    bool marked = false;
    for (list.go_top(); !list.eof() && !marked; list.skip(1)) marked = list.get("IMPRE").as_string() == "S";
    if (!marked) {
        common::AVISOSN(std::vector<std::string>{"Nenhum contribuinte foi marcado para a conversão."_cp,
                                                 "Marque com S (sim) nos que deseja converter.    "},
                        0);
        CONVAUX();
        return;
    }
    // Everything the cash book lists is carried: it has no sold assets to leave behind.
    const int sold = id == kCashBook ? kCarrySold : sold_assets_choice();
    convert_marked_taxpayers(src, sold, id);
    common::FECHAJAN(kFormWindow);
    CONVAUX();
}

bool CONV_HELPIR(SourceTables& src, const std::string& cpf, int sold, int id, std::vector<std::string>* report) {
    const std::vector<int> codes = id == kCashBook
                                       ? std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 14, 15, 16, 17, 18, 19}
                                       : std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14, 15, 16, 17, 18};
    const auto refuse = [&](const std::string& why) {
        if (report) report->push_back(refused_line(src, cpf, why));
        return false;
    };
    // The CPF may be in use on a terminal that registered it and has not
    // saved it yet: the taxpayer is left to that terminal.
    tables::TaxpayerMarks marks;
    if (std::string why = taxpayer_taken(marks, cpf); !why.empty()) {
        if (report) report->push_back(std::move(why));
        return false;
    }
    const TablesLocked locks(codes);
    if (!locks.ok()) return refuse("tabelas em uso por outro usuário"_cp);
    AppendedRows appended(codes);
    // A value that cannot be carried leaves the taxpayer out whole: a
    // register row without the rest would be taken as converted next time.
    try {
        if (id == kCashBook) cash_book_taxpayer(src, cpf);
        else carry_last_year(src, cpf, sold);
        return true;
    } catch (const FieldMismatch& e) {
        appended.undo();
        return refuse(e.what());
    } catch (const std::exception& e) {
        appended.undo();
        return refuse("não gravado ("_cp + rt::LEFT(e.what(), 30) + ")");
    }
}

void CONVAUX() {
    const std::string folder = common::BAR_DIR(Global{"DIRINST"}.text());
    const std::pair<int, const char*> lists[] = {{52, "auxbens.dbf"}, {53, "auxpag.dbf"}};
    for (const auto& [code, file] : lists) {
        if (!tb::file_exists(folder + file) || !tables::ABERTURA(code)) return;
        tb::Table& t = tables::ws().current(code);
        if (t.lastrec() == 0) tb::append_from(tables::ws(), t, tb::resolve_path(folder + file));
        t.commit();
    }
}

}  // namespace qv::converter
