// The payroll export folha.txt read into the statements table.
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string_view>
#include <vector>

#include "common/avisosn.hpp"
#include "common/documents.hpp"
#include "common/paths.hpp"
#include "converter/payroll_posting.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/file_names.hpp"
#include "tables/locks.hpp"
#include "tables/state.hpp"

namespace qv::converter {

namespace {

using rt::operator""_cp;
using rt::Value;
namespace tb = rt::table;

constexpr std::size_t kReportLines = 12;

// The line's values, in the table's field order.
using Statement = std::vector<Value>;

// A line cut at its commas; a text in double quotes may hold commas.
// Nothing when a quote is left open.
std::optional<std::vector<std::string>> split_line(std::string_view line) {
    std::vector<std::string> out;
    std::size_t i = 0;
    while (true) {
        std::string v;
        while (i < line.size() && line[i] == ' ') ++i;
        if (i < line.size() && line[i] == '"') {
            const std::size_t close = line.find('"', i + 1);
            if (close == std::string_view::npos) return std::nullopt;
            v = std::string(line.substr(i + 1, close - i - 1));
            i = close + 1;
            while (i < line.size() && line[i] == ' ') ++i;
            if (i < line.size() && line[i] != ',') return std::nullopt;
        } else {
            const std::size_t comma = std::min(line.find(',', i), line.size());
            v = rt::ALLTRIM(std::string(line.substr(i, comma - i)));
            i = comma;
        }
        out.push_back(std::move(v));
        if (i >= line.size()) break;
        ++i;
    }
    return out;
}

// A number written plainly, a point before at most `decimals` decimals;
// blank is 0. More decimals than the field keeps are refused rather than
// rounded: "1.234" is more likely a thousand written with a separator
// than an amount of one real and twenty-three cents.
std::optional<double> plain_number(const std::string& text, int decimals) {
    if (text.empty()) return 0.0;
    std::size_t i = text[0] == '-' || text[0] == '+' ? 1 : 0;
    bool digit = false, point = false;
    int after_point = 0;
    for (; i < text.size(); ++i) {
        if (text[i] == '.' && !point) {
            point = true;
        } else if (text[i] >= '0' && text[i] <= '9') {
            digit = true;
            if (point) ++after_point;
        } else {
            return std::nullopt;
        }
    }
    if (!digit || after_point > decimals) return std::nullopt;
    return std::strtod(text.c_str(), nullptr);
}

bool fits(const tb::Field& f, double v) {
    const int whole = f.len - (f.dec > 0 ? f.dec + 1 : 0);
    return std::fabs(v) < std::pow(10.0, v < 0 ? whole - 1 : whole);
}

// A payer is a company (CNPJ) or a person (CPF); blank is allowed, as on
// the form.
std::optional<std::string> payer_number(const std::string& text) {
    const std::string digits = common::TIRA_PONTO(text);
    if (rt::ALLTRIM(text).empty()) return std::string();
    if (digits.size() == 14 && common::cnpj_check_digits(digits) == digits.substr(12)) return common::CONTAPONTO(digits);
    if (digits.size() == 11 && cpf_digits_right(digits)) return common::CONTAPONTO(digits);
    return std::nullopt;
}

// The statement of one line, or the reason it is refused.
std::string read_statement(const std::vector<tb::Field>& fields, std::string_view line, Statement& out) {
    const auto values = split_line(line);
    if (!values) return "aspas fora do lugar";
    if (values->size() != fields.size())
        return std::to_string(values->size()) + " campos em vez de " + std::to_string(fields.size());
    out.clear();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const tb::Field& f = fields[i];
        const std::string& text = (*values)[i];
        if (f.type == 'N') {
            const auto n = plain_number(text, f.dec);
            if (!n || !fits(f, *n)) return "valor inválido em "_cp + f.name + " (" + rt::LEFT(text, 15) + ")";
            out.push_back(Value(*n));
        } else if (f.name == "CPF") {
            if (!cpf_digits_right(text)) return "CPF " + rt::LEFT(text, 14) + " incorreto";
            out.push_back(Value(common::TIRA_PONTO(text)));
        } else if (f.name == "CNPJFONTE") {
            const auto payer = payer_number(text);
            if (!payer) return "CNPJ " + rt::LEFT(text, 18) + " incorreto";
            out.push_back(Value(*payer));
        } else {
            out.push_back(Value(rt::LEFT(text, static_cast<std::size_t>(f.len))));
        }
    }
    return {};
}

// The same statement is in the table already (whether it is marked for
// the transfer or not).
bool stored_already(tb::Table& t, const Statement& s) {
    const auto& fields = t.fields();
    t.set_order(1);
    if (!t.seek(s[0])) return false;
    for (; !t.eof() && t.get(0).as_string() == s[0].as_string(); t.skip(1)) {
        if (t.deleted()) continue;
        bool same = true;
        for (std::size_t i = 0; i < fields.size() && same; ++i) {
            if (fields[i].name == "IMPRE") continue;
            const Value v = t.get(static_cast<int>(i));
            same = fields[i].type == 'N' ? std::fabs(v.as_number() - s[i].as_number()) < 0.005
                                         : rt::RTRIM(v.as_string()) == rt::RTRIM(s[i].as_string());
        }
        if (same) return true;
    }
    return false;
}

void report(const std::vector<std::string>& refused) {
    if (refused.empty()) return;
    std::vector<std::string> lines{"Linhas de FOLHA.TXT não importadas:"_cp};
    for (std::size_t i = 0; i < refused.size() && i < kReportLines; ++i) lines.push_back(rt::LEFT(refused[i], 58));
    if (refused.size() > kReportLines) lines.push_back("... e mais " + std::to_string(refused.size() - kReportLines));
    common::AVISOSN(lines, 0);
}

// A file imported before would give its statements twice, and "Acrescente"
// would then post them twice: the clerk says whether they go in again.
bool add_again(std::size_t repeated, std::size_t total) {
    return common::AVISOSN(std::vector<std::string>{"O arquivo FOLHA.TXT já foi importado:"_cp,
                                                    std::to_string(repeated) + " de " + std::to_string(total) +
                                                        " comprovantes iguais aos já gravados."_cp,
                                                    "Acrescenta esses comprovantes outra vez?"},
                           2)
               .as_string() == "S";
}

std::vector<std::string> file_lines(const std::string& path) {
    std::ifstream in(common::fs_path(path), std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(ss, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line.front() == '\x1A') break;
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

bool import_payroll_file(const std::string& folder) {
    if (!common::VERDIR(folder)) {
        common::AVISOSN("Drive e/ou Diretório "_cp + folder + " inexistente !!", 0);
        return false;
    }
    const std::string file = tb::resolve_path(common::BAR_DIR(folder) + "folha.txt");
    if (!tb::file_exists(file)) {
        common::AVISOSN("Arquivo para a importação FOLHA.TXT não localizado!"_cp, 0);
        return false;
    }
    tb::Table& statements = tables::ws().current(kPayroll);
    const std::vector<tb::Field> fields = statements.fields();
    std::vector<std::string> refused;
    std::vector<Statement> read;
    std::vector<bool> repeated;
    const std::vector<std::string> lines = file_lines(file);
    for (std::size_t n = 0; n < lines.size(); ++n) {
        if (rt::ALLTRIM(lines[n]).empty()) continue;
        Statement s;
        const std::string why = read_statement(fields, lines[n], s);
        if (!why.empty()) {
            refused.push_back("Linha " + std::to_string(n + 1) + ": " + why);
            continue;
        }
        repeated.push_back(stored_already(statements, s));
        read.push_back(std::move(s));
    }
    report(refused);
    const auto twice = static_cast<std::size_t>(std::count(repeated.begin(), repeated.end(), true));
    const bool again = twice > 0 && add_again(twice, read.size());
    tables::ws().select(kPayroll);
    for (std::size_t i = 0; i < read.size(); ++i) {
        if (repeated[i] && !again) continue;
        if (!tables::ADD_REC(2)) break;
        for (std::size_t f = 0; f < fields.size(); ++f) statements.put(static_cast<int>(f), read[i][f]);
        statements.commit();
        statements.unlock();
    }
    return true;
}

}  // namespace qv::converter
