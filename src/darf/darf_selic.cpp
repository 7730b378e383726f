#include "darf/darf_selic.hpp"

#include "common/avisosn.hpp"
#include "darf/darf_state.hpp"
#include "declaration/loop/late_interest.hpp"
#include "runtime/core/cp850.hpp"

namespace qv::darf {

using rt::operator""_cp;

namespace {

constexpr std::size_t kLineWidth = 56;

std::string shown(const std::string& yyyymm) { return yyyymm.substr(4, 2) + "/" + yyyymm.substr(0, 4); }

bool follows(const std::string& a, const std::string& b) {
    const int ya = std::stoi(a.substr(0, 4)), ma = std::stoi(a.substr(4, 2));
    const int yb = std::stoi(b.substr(0, 4)), mb = std::stoi(b.substr(4, 2));
    return yb * 12 + mb == ya * 12 + ma + 1;
}

// The SELIC months the slip's interest reaches, as CALCJU works them out.
std::vector<std::string> missing_months() {
    const int k = kind();
    if (k < kQuota || k > kVariableIncome) return {};
    const rt::Date due = date("DF_VCTO"), paid = date("DF_PGTO");
    if (later_quota()) return declaration::missing_selic_months(2, payment_month());
    if (!due.empty() && !paid.empty() && due < paid) return declaration::missing_selic_months(1);
    return {};
}

}  // namespace

std::vector<std::string> selic_gaps() {
    const std::vector<std::string> months = missing_months();
    std::vector<std::string> runs;
    for (std::size_t i = 0; i < months.size();) {
        std::size_t j = i;
        while (j + 1 < months.size() && follows(months[j], months[j + 1])) ++j;
        runs.push_back(i == j ? shown(months[i]) : shown(months[i]) + " a " + shown(months[j]));
        i = j + 1;
    }
    return runs;
}

bool warn_selic_gaps() {
    const std::vector<std::string> runs = selic_gaps();
    if (runs.empty()) return false;
    std::vector<std::string> lines{"Atenção! Faltam na tabela da Selic as taxas de"_cp};
    std::string line;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const std::string piece = runs[i] + (i + 1 < runs.size() ? ", " : ".");
        if (!line.empty() && line.size() + piece.size() > kLineWidth) {
            lines.push_back(line);
            line.clear();
        }
        line += piece;
    }
    lines.push_back(line);
    lines.push_back("Os juros desse DARF não incluem esses meses."_cp);
    lines.push_back("Complete a tabela em Opções, Cadastro SELIC."_cp);
    common::AVISOSN(lines, 0);
    return true;
}

}  // namespace qv::darf
