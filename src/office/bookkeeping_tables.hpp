#pragma once
// What the bookkeeping screens share: the work areas of the entries and of
// the chart of accounts, and an account as the chart describes it.
#include <optional>
#include <string>

namespace qv::office {

constexpr int kEntriesTable = 13;   // the entries of every taxpayer
constexpr int kEntriesArea = 33;    // the terminal's copy of one taxpayer's entries
constexpr int kChartArea = 62;      // the chart of accounts

struct Account {
    std::string code, description;
    int page = 0, line = 0;
    bool has_cpf = false, has_cnpj = false, cash_book = false, own_text = false, detailed = false;
    // Both flags: the entry is a dependant's, with the dependant's CPF.
    bool both() const { return has_cpf && has_cnpj; }
};

// The chart, open in its area; false (reported) when it cannot be opened.
bool open_chart();
// The account of a code; nothing when the chart has none.
std::optional<Account> account(const std::string& code);

}  // namespace qv::office
