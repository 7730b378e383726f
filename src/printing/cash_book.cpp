#include "printing/cash_book.hpp"

#include <algorithm>
#include <cmath>
#include <map>

#include "common/calendar_names.hpp"
#include "common/globals.hpp"
#include "printing/nao_dos_job.hpp"
#include "printing/page_layout.hpp"
#include "printing/print_target.hpp"
#include "printing/printer_dialog.hpp"
#include "printing/report_support.hpp"
#include "printing/rural_pages.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/os/print_device.hpp"

namespace qv::printing {

using common::Global;
using rt::operator""_cp;

namespace {

constexpr int kNormalEntries = 22;
constexpr int kFarms = 36;
constexpr int kRuralEntries = 39;
constexpr std::string_view kBookAmount = "@Ez 99,999,999.99";
constexpr int kDescriptionCol = 9;
constexpr int kReceiptsCol = 49;
constexpr int kExpensesCol = 63;
constexpr int kLastEntryRow = 49;
constexpr std::string_view kBaseYear = "2011";

// What the book being printed has reached.
struct BookState {
    bool rural = false;
    int page = 1;
    int month = 0;            // month of the entries being printed
    double balance = 0.0;     // running balance, the opening one included
    double receipts = 0.0;    // the month's
    double expenses = 0.0;
};

BookState& book() {
    static BookState state;
    return state;
}

int first_month() { return std::clamp(Global{"MES_INIC"}.integer(1), 1, 12); }
int last_month() { return std::clamp(Global{"MES_FINAL"}.integer(12), 1, 12); }
bool all_months() { return first_month() == 1 && last_month() == 12; }
bool flag(const char* name) { return text(name) == "S"; }

std::string two_digit_date(rt::Date d) {
    return rt::STRZERO(d.day(), 2) + "/" + rt::STRZERO(d.month(), 2) + "/" + rt::STRZERO(d.year() % 100, 2);
}
std::string short_month(int month) { return common::TRAZ_MES(month).substr(0, 3); }
std::string book_amount(double v) { return shown(v, kBookAmount); }

// Participation of each farm of each activity, in stored order.
std::map<std::string, std::vector<double>> farm_shares() {
    std::map<std::string, std::vector<double>> shares;
    for_stored_rows(kFarms, [&](rt::table::Table& t) {
        shares[field_text(t, "ATV_BRASIL")].push_back(field_number(t, "I2R_04") / 100.0);
    });
    return shares;
}

std::vector<CashEntry> all_entries(bool rural) {
    std::vector<CashEntry> entries;
    if (rural) {
        const auto shares = farm_shares();
        for_stored_rows(kRuralEntries, [&](rt::table::Table& t) {
            CashEntry e{t.get("DT_LC").as_date(), field_text(t, "DESCR"), field_number(t, "VALOR"),
                        field_text(t, "TIPOCR") == "D"};
            const int farm = static_cast<int>(field_number(t, "NROIMO"));
            const auto list = shares.find(field_text(t, "ATV_BRASIL"));
            if (farm > 0 && list != shares.end() && farm <= static_cast<int>(list->second.size()))
                e.value *= list->second[std::size_t(farm - 1)];
            entries.push_back(std::move(e));
        });
    } else {
        for_stored_rows(kNormalEntries, [&](rt::table::Table& t) {
            const std::string kind = field_text(t, "I1_1");
            if (kind != "F" && kind != "L") return;
            entries.push_back({t.get("DT_LC").as_date(), rt::LEFT(field_text(t, "I1_2"), 40), field_number(t, "I1_4"),
                               field_text(t, "TIPOCR") == "D"});
        });
    }
    std::erase_if(entries, [](const CashEntry& e) { return e.date.empty(); });
    std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.date < b.date; });
    return entries;
}

void entry_columns(double value, bool expense) {
    put(expense ? kExpensesCol : kReceiptsCol, book_amount(std::abs(value)));
}

void start_page() {
    new_page();
    ++book().page;
    CABECLCX();
}

void previous_balance_line(int month) {
    put(0, "01/" + rt::STRZERO(month, 2) + "/" + std::string(kBaseYear.substr(2)));
    put(kDescriptionCol + 2, "Saldo Anterior");
    entry_columns(book().balance, book().balance < 0);
    skip_lines();
}

void print_entry(const CashEntry& e) {
    put(0, two_digit_date(e.date));
    put(kDescriptionCol, e.description);
    entry_columns(e.value, e.expense);
    skip_lines();
    const double signed_value = e.expense ? -e.value : e.value;
    book().balance += signed_value;
    (e.expense ? book().expenses : book().receipts) += e.value;
}

std::string heading_page(int page) { return "LIVRO CAIXA (Lei Numero 9.250/95 , art. 18)         Pag. " + rt::STRZERO(page, 3); }

void term(int page, std::string_view title, int sheets, bool opening) {
    new_page();
    skip_lines(2);
    line(0, heading_page(page));
    skip_lines(2);
    line(0, title);
    skip_lines(2);
    const std::string n = std::to_string(sheets);
    line(0, "Este livro contem " + n + " folhas numeradas sequencialmente de 1 a " + n + " e");
    const std::string use = opening ? "servira" : "serviu";
    const std::string what = book().rural ? "na atividade rural," : "de trabalho nao assalariado,";
    const std::string year_line = "no ano calendario " + std::string(kBaseYear) + ", de que trata o artigo 18 da Lei numero 9.250/95,";
    if (opening) {
        line(0, use + " para o lancamento das receitas e despesas " + what);
        line(0, year_line);
    } else {
        line(0, year_line);
        line(0, use + " para o lancamento das receitas e despesas " + what);
    }
    line(0, "do contribuinte abaixo identificado:");
    skip_lines();
    NOME_IDEN();
}

}  // namespace

std::vector<CashEntry> cash_entries(bool rural) {
    auto entries = all_entries(rural);
    const int first = first_month(), last = last_month();
    std::erase_if(entries, [&](const CashEntry& e) { return e.date.month() < first || e.date.month() > last; });
    return entries;
}

double opening_balance(bool rural, int month) {
    double balance = 0.0;
    for (const CashEntry& e : all_entries(rural))
        if (e.date.month() < month) balance += e.expense ? -e.value : e.value;
    return balance;
}

void CABECLCX() {
    rt::os::printer().write_raw(Global{"STRING0"}.text());
    Global{"QLIN"}.set(rt::Value(0));
    put(0, "Livro Caixa de " + rt::LEFT(text("NOMECONTR"), 38));
    const std::string page = " Pag. " + rt::STRZERO(book().page, 3);
    if (flag("AVANCA_PAG") && book().month > 0)
        line(55, "Ref. " + short_month(book().month) + "/" + std::string(kBaseYear.substr(2)) + page);
    else
        line(64, page);
    separator();
    line(0, "Data       Descricao                                 Receitas      Despesas");
    separator();
}

void SALDOS(int /*month*/, int mode) {
    BookState& b = book();
    if (mode == 1) TRAC_SEP();
    else if (QLIN() + 4 > kLastEntryRow + 1) start_page();
    put(kDescriptionCol + 2, "Totais do Mes");
    put(kReceiptsCol, book_amount(b.receipts));
    line(kExpensesCol, book_amount(b.expenses));
    const double month_balance = b.receipts - b.expenses;
    put(kDescriptionCol + 2, month_balance < 0 ? "Deficit do Mes" : "Saldo do Mes");
    entry_columns(month_balance, month_balance < 0);
    skip_lines();
    put(kDescriptionCol + 2, b.balance < 0 ? "Deficit Acumulado" : "Saldo Acumulado");
    entry_columns(b.balance, b.balance < 0);
    skip_lines(2);
    b.receipts = b.expenses = 0.0;
}

void TRAC_SEP() {
    const int start = QLIN();
    put(0, "--------");
    const int step = start < 50 ? 45 / (50 - start) : 0;
    int row = start, col = 10;
    for (; row <= 46; ++row, col += step) {
        Global{"QLIN"}.set(rt::Value(row));
        put(col, std::string(std::size_t(step + 1), '-'));
    }
    for (row = std::max(row, 47); row <= 50; ++row) {
        Global{"QLIN"}.set(rt::Value(row));
        put(48, "--");
    }
    Global{"QLIN"}.set(rt::Value(51));
}

void NOME_IDEN() {
    line(0, text("NOMECONTR"));
    line(0, "CPF nro " + rt::TRANSFORM(rt::Value(text("CPF")), kCpfPicture));
    line(0, rt::ALLTRIM(text("TIPOEND") + " " + text("ENDERECO") + " " + text("NUMERO") + " " + text("COMPLEM")));
    line(0, rt::ALLTRIM(text("BAIRRO") + " " + text("MUNICIPIO") + " " + text("UF")));
    line(0, "CEP " + rt::TRANSFORM(rt::Value(text("CEP")), "@R 99999-999"));
    line(0, "TEL: (" + text("DDDTEL") + ") " + text("TELEFO"));
    if (!text("NROFAX").empty()) line(0, "FAX: (" + text("DDDFAX") + ") " + text("NROFAX"));
    line(0, "Email " + text("EMAIL"));
    skip_lines(13);
    line(0, std::string(50, '_'));
    line(0, text("NOMECONTR"));
}

void ENCERRAMENTO() {
    const int closing = book().page + 1;
    term(1, "T E R M O   D E   A B E R T U R A ", closing, true);
    term(closing, "T E R M O   D E   E N C E R R A M E N T O", closing, false);
}

void RES_LIVR() {
    new_page();
    rural_summary_table();
    new_page();
}

void LIVRO_CX(int kind) {
    BookState& b = book();
    b = BookState{};
    b.rural = kind == 4 || kind == 2;
    b.page = all_months() ? 2 : 1;
    if (flag("CALC_SALD") && first_month() > 1) b.balance = opening_balance(b.rural, first_month());
    const auto entries = cash_entries(b.rural);
    b.month = entries.empty() ? first_month() : entries.front().date.month();
    if (QLIN() > 0) new_page();
    CABECLCX();
    const bool advance = flag("AVANCA_PAG");
    const bool balance_lines = flag("CALC_SALD");
    if (balance_lines && !entries.empty()) previous_balance_line(b.month);
    for (const CashEntry& e : entries) {
        if (e.date.month() != b.month) {
            SALDOS(b.month, advance ? 1 : 2);
            b.month = e.date.month();
            if (advance) {
                start_page();
                if (balance_lines) previous_balance_line(b.month);
            }
        }
        if (QLIN() > kLastEntryRow) start_page();
        print_entry(e);
    }
    SALDOS(b.month, advance ? 1 : 2);
    if (all_months()) ENCERRAMENTO();
    else new_page();
}

void LIVRO_CAIXA(int kind) {
    const bool rural = kind == 4 || kind == 2;
    const bool one_taxpayer = Global{"QUECON"}.integer(1) == 1;
    for (;;) {
        LIVRO_CX(kind);
        const bool summary = rural && flag("IMPR_RESU");
        if (!one_taxpayer || all_months()) {
            if (summary) RES_LIVR();
            return;
        }
        const Device before = device();
        set_device(Device::Screen);
        const bool more = ask_yes("Deseja imprimir Outro(s) Mes(es) ? (S/N)");
        if (summary) {
            set_device(before);
            RES_LIVR();
        }
        if (!more) {
            set_device(before);
            return;
        }
        IMP_TXT(1);
        if (!ESCOLHE_COMO(rural ? 2 : 1)) return;
        if (!PREP_IMP()) {
            Global{"CAN_IMP"}.set(rt::Value(true));
            return;
        }
        set_device(Device::Printer);
    }
}

}  // namespace qv::printing
