// The delivered code tables, built from the CSV lists (UTF-8, one header
// row, RFC 4180 quoting) into CP850 DBF files. Texts longer than the field
// that receives them in the register are cut to that width, so that a value
// chosen from a list is the value stored.
#include "tables/reference_tables.hpp"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>

#include "common/paths.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/file_names.hpp"
#include "runtime/table/table_error.hpp"
#include "runtime/table/workspace.hpp"
#include "tables/catalogue.hpp"
#include "tables/help_texts.hpp"
#include "tables/printer_types.hpp"
#include "tables/state.hpp"

namespace qv::tables {
namespace {

using namespace rt::literals;
namespace fs = std::filesystem;
namespace tb = rt::table;

using Row = std::vector<std::string>;

Structure fields(std::initializer_list<FieldSpec> f) { return Structure(f); }

// One CSV file: rows of fields, the header row left out.
std::vector<Row> read_csv(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string text = ss.str();
    std::vector<Row> rows;
    Row row;
    std::string field;
    bool quoted = false, any = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
            continue;
        }
        if (c == '"') {
            quoted = true;
            any = true;
        } else if (c == ',') {
            row.push_back(std::move(field));
            field.clear();
            any = true;
        } else if (c == '\n') {
            if (any || !field.empty()) {
                row.push_back(std::move(field));
                rows.push_back(std::move(row));
            }
            row.clear();
            field.clear();
            any = false;
        } else if (c != '\r') {
            field += c;
            any = true;
        }
    }
    if (any || !field.empty()) {
        row.push_back(std::move(field));
        rows.push_back(std::move(row));
    }
    if (!rows.empty()) rows.erase(rows.begin());
    return rows;
}

std::string cp(const std::string& utf8) { return rt::utf8_to_cp850(utf8); }
std::string col(const Row& r, std::size_t i) { return i < r.size() ? r[i] : std::string(); }

// The states, in the order the state pick list shows them, as rows of the
// municipality table with an empty state column.
const std::vector<std::pair<const char*, const char*>>& states() {
    static const std::vector<std::pair<const char*, const char*>> s{
        {"AC", "Acre"}, {"AL", "Alagoas"}, {"AP", "Amapá"}, {"AM", "Amazonas"}, {"BA", "Bahia"},
        {"CE", "Ceará"}, {"DF", "Distrito Federal"}, {"ES", "Espírito Santo"}, {"GO", "Goiás"},
        {"MA", "Maranhão"}, {"MT", "Mato Grosso"}, {"MS", "Mato Grosso do Sul"}, {"MG", "Minas Gerais"},
        {"PA", "Pará"}, {"PB", "Paraíba"}, {"PR", "Paraná"}, {"PE", "Pernambuco"}, {"PI", "Piauí"},
        {"RN", "Rio Grande do Norte"}, {"RS", "Rio Grande do Sul"}, {"RJ", "Rio de Janeiro"},
        {"RO", "Rondônia"}, {"RR", "Roraima"}, {"SC", "Santa Catarina"}, {"SP", "São Paulo"},
        {"SE", "Sergipe"}, {"TO", "Tocantins"}, {"EX", "Exterior"}};
    return s;
}

struct Filler {
    tb::Table& t;
    void row(std::initializer_list<std::pair<const char*, rt::Value>> values) {
        t.append_blank();
        for (const auto& [name, v] : values) t.put(name, v);
    }
};

using Builder = std::function<void(Filler&, const std::string& data)>;

void fill_codes(Filler& f, const std::string& data, const char* csv, const char* code, const char* text) {
    for (const Row& r : read_csv(data + csv))
        f.row({{code, rt::Value(rt::VAL(col(r, 0)))}, {text, rt::Value(cp(col(r, 1)))}});
}

void fill_text_codes(Filler& f, const std::string& data, const char* csv, const char* code, const char* text) {
    for (const Row& r : read_csv(data + csv))
        f.row({{code, rt::Value(col(r, 0))}, {text, rt::Value(cp(col(r, 1)))}});
}

struct Reference {
    int code;
    const char* file;
    Structure schema;
    Builder fill;
};

const std::vector<Reference>& references() {
    static const std::vector<Reference> refs{
        {41, "PRINTS", *schema_of(41),
         [](Filler& f, const std::string&) {
             for (const PrinterType& p : shipped_printer_types()) {
                 f.t.append_blank();
                 put_printer_type(f.t, p);
             }
         }},
        {46, "CODBENS", fields({{"CODBEM", 'N', 3, 0}, {"DESCBENS", 'C', 120, 0}, {"DESPBEM", 'C', 1, 0}}),
         [](Filler& f, const std::string& d) { fill_codes(f, d, "bens.csv", "CODBEM", "DESCBENS"); }},
        {47, "CODEPEN", fields({{"CODDEP", 'N', 3, 0}, {"DESCRICAO", 'C', 240, 0}}),
         [](Filler& f, const std::string& d) { fill_codes(f, d, "dependentes.csv", "CODDEP", "DESCRICAO"); }},
        {48, "CODDIVI", fields({{"CODDIV", 'N', 3, 0}, {"DESCDIV", 'C', 60, 0}}),
         [](Filler& f, const std::string& d) { fill_codes(f, d, "dividas.csv", "CODDIV", "DESCDIV"); }},
        {49, "DESPESA", fields({{"CODDES", 'N', 2, 0}, {"DESCDOA", 'C', 80, 0}}),
         [](Filler& f, const std::string& d) { fill_codes(f, d, "pagamentos.csv", "CODDES", "DESCDOA"); }},
        {51, "UFIRM",
         fields({{"ANOMES", 'C', 6, 0}, {"TJM", 'N', 6, 2}, {"MULTIPL", 'N', 12, 6}, {"SIMB_MOED", 'C', 4, 0}}),
         [](Filler& f, const std::string& d) {
             for (const Row& r : read_csv(d + "selic.csv"))
                 f.row({{"ANOMES", rt::Value(col(r, 0))},
                        {"TJM", rt::Value(rt::VAL(col(r, 1)))},
                        {"SIMB_MOED", rt::Value("R$  ")}});
         }},
        // The rules of the declaration check: number, grade (1 error, 2 danger,
        // 3 warning), the page where the finding is corrected, and its text.
        {54, "LISERRO",
         fields({{"coderr", 'N', 2, 0}, {"DESCRI", 'C', 60, 0}, {"GRAU", 'N', 1, 0}, {"PAGINA", 'N', 2, 0}}),
         [](Filler& f, const std::string& d) {
             for (const Row& r : read_csv(d + "erros.csv"))
                 f.row({{"coderr", rt::Value(rt::VAL(col(r, 0)))}, {"GRAU", rt::Value(rt::VAL(col(r, 1)))},
                        {"PAGINA", rt::Value(rt::VAL(col(r, 2)))}, {"DESCRI", rt::Value(cp(col(r, 3)))}});
         }},
        {55, "BANCOS", fields({{"NUMBAN", 'C', 3, 0}, {"NOMEBAN", 'C', 120, 0}, {"OK", 'C', 1, 0}}),
         [](Filler& f, const std::string& d) {
             for (const Row& r : read_csv(d + "bancos.csv")) {
                 const std::string ok = rt::ALLTRIM(col(r, 2));
                 f.row({{"NUMBAN", rt::Value(col(r, 0))},
                        {"NOMEBAN", rt::Value(cp(col(r, 1)))},
                        {"OK", rt::Value(ok.empty() ? std::string(" ") : rt::LOWER(ok.substr(0, 1)))}});
             }
         }},
        {58, "OCUPACAO", fields({{"CDPRO", 'C', 3, 0}, {"OCUPACAO", 'C', 69, 0}}),
         [](Filler& f, const std::string& d) { fill_text_codes(f, d, "ocupacoes.csv", "CDPRO", "OCUPACAO"); }},
        {59, "CODNATUR", fields({{"CODAT", 'C', 2, 0}, {"DESCRAT", 'C', 58, 0}}),
         [](Filler& f, const std::string& d) {
             fill_text_codes(f, d, "natureza_ocupacao.csv", "CODAT", "DESCRAT");
         }},
        {60, "TABPAIS", fields({{"CODPAIS", 'C', 3, 0}, {"NOMPAIS", 'C', 50, 0}}),
         [](Filler& f, const std::string& d) { fill_text_codes(f, d, "paises.csv", "CODPAIS", "NOMPAIS"); }},
        {61, "TABEMBA",
         fields({{"CD_EX", 'C', 3, 0}, {"CIDADE", 'C', 30, 0}, {"NOMPAIS", 'C', 50, 0}, {"REPRESENTA", 'C', 30, 0}}),
         [](Filler&, const std::string&) {}},
        {62, "CONTAS",
         fields({{"CDCONTA", 'C', 4, 0}, {"NMDESCRICA", 'C', 60, 0}, {"PAGINA", 'N', 2, 0}, {"LINHA", 'N', 2, 0},
                 {"TEMCPF", 'C', 1, 0}, {"TEMCGC", 'C', 1, 0}, {"LIVROCX", 'C', 1, 0}, {"TEMDESCR", 'C', 1, 0},
                 {"CDSTATUS", 'C', 1, 0}}),
         // A starter chart: titles ("N") and detailed accounts ("S") whose
         // page and line pairs feed fields of the declaration tables.
         [](Filler& f, const std::string& d) {
             for (const Row& r : read_csv(d + "contas.csv"))
                 f.row({{"CDCONTA", rt::Value(col(r, 0))}, {"NMDESCRICA", rt::Value(cp(col(r, 1)))},
                        {"PAGINA", rt::Value(rt::VAL(col(r, 2)))}, {"LINHA", rt::Value(rt::VAL(col(r, 3)))},
                        {"TEMCPF", rt::Value(col(r, 4))}, {"TEMCGC", rt::Value(col(r, 5))},
                        {"LIVROCX", rt::Value(col(r, 6))}, {"TEMDESCR", rt::Value(col(r, 7))},
                        {"CDSTATUS", rt::Value(col(r, 8))}});
         }},
        {64, "TABMUNI", fields({{"NOMEMUNI", 'C', 30, 0}, {"NROMUNI", 'C', 4, 0}, {"UNIFED", 'C', 2, 0}}),
         [](Filler& f, const std::string& d) {
             int n = 0;
             for (const auto& [uf, name] : states())
                 f.row({{"NOMEMUNI", rt::Value(std::string(uf) + " - " + cp(name))},
                        {"NROMUNI", rt::Value(rt::STRZERO(++n, 4))}});
             for (const Row& r : read_csv(d + "municipios.csv"))
                 f.row({{"NOMEMUNI", rt::Value(cp(col(r, 1)))},
                        {"NROMUNI", rt::Value(col(r, 0))},
                        {"UNIFED", rt::Value(col(r, 2))}});
         }},
        {65, "TABLOGR", fields({{"NOMELOGRA", 'C', 11, 0}}),
         [](Filler& f, const std::string& d) {
             std::set<std::string> seen;
             for (const Row& r : read_csv(d + "logradouros.csv")) {
                 const std::string name = rt::TRIM(rt::LEFT(cp(col(r, 0)), 11));
                 if (name.empty() || !seen.insert(rt::UPPER(name)).second) continue;
                 f.row({{"NOMELOGRA", rt::Value(name)}});
             }
         }},
        {66, "STATUS", fields({{"COD", 'N', 2, 0}, {"DESCRICAO", 'C', 13, 0}}),
         [](Filler& f, const std::string&) {
             const std::pair<int, const char*> rows[] = {
                 {1, "Importada"}, {2, "Em digitação"}, {4, "Livro caixa"}, {7, "Transmitida"}, {9, "Pronta"}};
             for (const auto& [code, text] : rows)
                 f.row({{"COD", rt::Value(code)}, {"DESCRICAO", rt::Value(rt::utf8_to_cp850(text))}});
         }},
        {69, "CODABENS", fields({{"CODBEM", 'N', 3, 0}, {"DESCBENS", 'C', 60, 0}}),
         [](Filler&, const std::string&) {}},
        // The help texts, with their memo file HELPTXT.DBT.
        {45, "HELPTXT", help_text_schema(), [](Filler& f, const std::string& d) { fill_help_texts(f.t, d); }},
    };
    return refs;
}

const Reference* find(int code) {
    for (const Reference& r : references())
        if (r.code == code) return &r;
    return nullptr;
}

std::string exe_folder() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.parent_path().string();
}

bool has_lists(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p / "bens.csv", ec);
}

}  // namespace

std::optional<Structure> reference_schema(int code) {
    const Reference* r = find(code);
    if (!r) return std::nullopt;
    return r->schema;
}

int reference_code_of(std::string_view file_stem) {
    const std::string up = rt::UPPER(file_stem);
    for (const Reference& r : references())
        if (up == r.file) return r.code;
    return 0;
}

std::string reference_data_folder() {
    if (const char* env = std::getenv("QV_DATA"); env && *env)
        return has_lists(env) ? with_separator(env) : std::string();
    const fs::path prog = common::fs_path(program_folder()) / "data";
    if (has_lists(prog)) return with_separator(prog.string());
    const std::string exe = exe_folder();
    if (!exe.empty()) {
        for (const fs::path& p : {fs::path(exe) / "data", fs::path(exe) / ".." / "data",
                                  fs::path(exe) / ".." / ".." / "data"})
            if (has_lists(p)) return with_separator(fs::weakly_canonical(p).string());
    }
    return {};
}

bool build_reference_table(int code, const std::string& dbf_path, const std::string& data_folder) {
    const Reference* r = find(code);
    if (!r) return false;
    const std::string data = data_folder.empty() ? std::string() : with_separator(data_folder);
    const bool own_rows = code == 41 || code == 61 || code == 62 || code == 66 || code == 69;
    if (data.empty() && !own_rows) return false;
    // Built aside and renamed into place, so a half-written table is never seen.
    const std::string temp = dbf_path + "." + std::to_string(::getpid()) + ".tmp";
    // A table with memos gets its memo file beside it, renamed with it.
    const bool memos = std::any_of(r->schema.begin(), r->schema.end(), [](const FieldSpec& f) { return f.type == 'M'; });
    const std::string temp_memo = tb::with_extension(temp, ".dbt");
    tb::Workspace local;
    try {
        tb::create_table(temp, r->schema, memos ? tb::MemoKind::Dbt : tb::MemoKind::Fpt);
        tb::OpenOptions opt;
        opt.exclusive = true;
        opt.structural_index = false;
        tb::Table& t = local.use_in(1, temp, opt);
        Filler filler{t};
        r->fill(filler, data);
        t.commit();
        local.close_all();
        // The memo file first: a table is never seen without its memos.
        if (memos) fs::rename(tb::resolve_path(temp_memo), tb::with_extension(tb::resolve_path(dbf_path), ".dbt"));
        fs::rename(tb::resolve_path(temp), tb::resolve_path(dbf_path));
    } catch (const std::exception&) {
        local.close_all();
        std::error_code ec;
        fs::remove(tb::resolve_path(temp), ec);
        fs::remove(tb::resolve_path(temp_memo), ec);
        return false;
    }
    return true;
}

int install_reference_tables(const std::string& program_folder_name) {
    const std::string data = reference_data_folder();
    const std::string folder = with_separator(program_folder_name);
    int written = 0;
    for (const Reference& r : references()) {
        const std::string dbf = os_name(folder + r.file + ".dbf");
        if (tb::file_exists(dbf)) continue;
        if (build_reference_table(r.code, dbf, data)) ++written;
    }
    return written;
}

}  // namespace qv::tables
