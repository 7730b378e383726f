#include "tables/register_views.hpp"

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/windows.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/table/file_names.hpp"
#include "runtime/table/transfer.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::tables {

namespace {

using rt::operator""_cp;
using rt::Value;
namespace tb = rt::table;

constexpr int kRegisterArea = 9;
constexpr int kFindingsTable = 11;
constexpr int kFindingsArea = 31;   // the area the findings grid shows
constexpr int kDetailWindow = 4;

tb::Table* register_row() {
    tb::Table* t = ws().table(kRegisterArea);
    return t && !t->eof() ? t : nullptr;
}

std::string shown(tb::Table& t, const char* field, std::string_view picture = {}) {
    const Value v = t.get(field);
    return picture.empty() ? rt::TRIM(v.is_string() ? v.as_string() : rt::TRANSFORM(v, "")) : rt::TRANSFORM(v, picture);
}

// The age in whole years at the end of the base year, as the
// identification page counts it.
std::string age_of(tb::Table& t) {
    constexpr int kBaseYear = 2011;
    const Value birth = t.get("NASCIMENTO");
    if (!birth.is_date() || birth.as_date().empty() || birth.as_date().year() > kBaseYear) return {};
    return rt::LTRIM(rt::STR(kBaseYear - birth.as_date().year(), 3)) + " anos";
}

// Where each register value falls in the register data frame (MTELAVER 4),
// counted from the frame's top-left corner.
struct DetailValue {
    int row, col, width;
    const char* field;
    const char* picture;
};

constexpr DetailValue kDetailValues[] = {
    {1, 15, 14, "CPF", "@R 999.999.999-99"},     {1, 40, 10, "SENACESSO", ""},
    {1, 59, 15, "CODACESSO", "@Z 999999999999"}, {2, 15, 60, "NOMECONTR", ""},
    {3, 15, 10, "NASCIMENTO", "@d"},             {3, 47, 1, "TEMRURAL", ""},
    {4, 15, 14, "TITULO", "@r 99999999999-99"},  {5, 15, 14, "CPFCONJU", "@R 999.999.999-99"},
    {5, 43, 1, "CONJUNTA", ""},                  {5, 57, 1, "RETIFICA", ""},
    {6, 15, 12, "NRORECIBO", "@r 999999999999"}, {6, 28, 12, "RECIBOATU", "@r 999999999999"},
    {6, 41, 12, "RECIBOANT", "@r 999999999999"}, {7, 15, 3, "BANCO", "@r ###"},
    {7, 30, 7, "AGENCIA", "@r !!!!!-!"},         {7, 47, 17, "CONTACO", "@r !!!!!!!!!!!!!-!!"},
    {9, 15, 34, "BAIRRO", ""},                   {9, 55, 9, "CEP", "@r 99999-999"},
    {10, 15, 26, "MUNICIPIO", ""},               {10, 46, 2, "UF", ""},
    {10, 56, 3, "CODPAIS", ""},                  {10, 67, 8, "CODEMB", ""},
    {11, 15, 4, "DDDTEL", "@R #999"},            {11, 20, 9, "TELEFO", "@R ##99-9999"},
    {11, 38, 4, "DDDFAX", "@R #999"},            {11, 43, 9, "NROFAX", "@R ##99-9999"},
    {12, 15, 60, "EMAIL", ""},
};
constexpr DetailValue kAge{3, 27, 10, "NASCIMENTO", ""};
constexpr DetailValue kAddress{8, 15, 60, "ENDERECO", ""};

int origin(const char* name) {
    const Value v = common::Global{name}.value();
    const int slot = std::max(common::Global{"NTA"}.integer(1), 1);
    if (!v.is_array() || static_cast<std::size_t>(slot) > v.len()) return 0;
    const Value at = v.at(static_cast<std::size_t>(slot));
    return at.is_number() ? static_cast<int>(at.as_number()) : 0;
}

std::string address_of(tb::Table& t) {
    return rt::TRIM(shown(t, "TIPOEND") + " " + shown(t, "ENDERECO") + " " + shown(t, "NUMERO") + " " +
                    shown(t, "COMPLEM"));
}

}  // namespace

void MOSTR_PAG(int mode) {
    const common::Global cpf{"CPF"}, name{"NOMECONTR"};
    if (mode == 1 && !common::Global{"LRECUPERA"}.value().as_bool())
        if (tb::Table* t = register_row()) {
            cpf.set(t->get("CPF"));
            name.set(t->get("NOMECONTR"));
        }
    if (tb::Table* t = register_row(); t && mode == 2 && rt::TRIM(t->get("CPF").as_string()) == rt::TRIM(cpf.text()))
        name.set(t->get("NOMECONTR"));
    common::ESCRLCOL(3, 2, 3, rt::TRANSFORM(cpf.value(), "@R 999.999.999-99"));
    common::ESCRLCOL(3, 2, 19, rt::PADR(rt::TRIM(name.text()), 53));
    common::ESCRLCOL(3, 4, 19, rt::PADR(client_folder(), 53));
}

void MOS_DETAL() {
    tb::Table* t = register_row();
    if (!t) return;
    rt::call_routine("MTELAVER", {Value(4)});
    const int top = origin("ALJA"), left = origin("ACJA");
    const auto put = [top, left](const DetailValue& d, const std::string& text) {
        rt::at_say(top + d.row, left + d.col, rt::LEFT(text, d.width));
    };
    for (const DetailValue& d : kDetailValues) put(d, shown(*t, d.field, d.picture));
    put(kAge, age_of(*t));
    put(kAddress, address_of(*t));
    rt::INKEY(-1);
    common::FECHAJAN(kDetailWindow);
}

void MOS_PEND() {
    tb::Table* reg = register_row();
    if (!reg || ws().table(kFindingsArea)) return;
    const std::string cpf = rt::TRIM(reg->get("CPF").as_string());
    const std::string copy = in_folder(client_folder(), "TMP_11" + terminal());
    const bool was_open = ws().table(kFindingsTable) != nullptr;
    if (!was_open && !ABERTURA(kFindingsTable)) {
        common::MENS(1, "Terminal com esse nro aberto em outro local");
        ws().select(kRegisterArea);
        return;
    }
    tb::Table& findings = *ws().table(kFindingsTable);
    tb::TransferOptions only_taxpayer;
    only_taxpayer.for_cond = [&findings, &cpf] {
        return !findings.deleted() && rt::TRIM(findings.get("CPF").as_string()) == cpf;
    };
    findings.go_top();
    tb::copy_to(ws(), findings, os_name(copy + ".dbf"), only_taxpayer);
    if (!was_open) ws().close(kFindingsTable);
    tb::OpenOptions own;
    own.exclusive = true;
    tb::Table& shown_copy = ws().use_in(kFindingsArea, os_name(copy + ".dbf"), own);
    shown_copy.index_on("CODERR", "CODERR");
    shown_copy.go_top();
    ws().select(kFindingsArea);
    const Value args[] = {Value(11), Value(1)};
    rt::call_function("EDITA", std::span<const Value>(args, 2));
    common::FECHAJAN(6);
    ws().close(kFindingsArea);
    std::error_code ec;
    for (const char* ext : {".dbf", ".cdx"}) std::filesystem::remove(tb::resolve_path(copy + ext), ec);
    ws().select(kRegisterArea);
}

void register_register_view_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        using Args = std::span<const Value>;
        rt::register_function("MOSTR_PAG", [](Args a) {
            MOSTR_PAG(a.empty() ? 1 : static_cast<int>(common::number_of(a[0])));
            return Value();
        });
        rt::register_function("MOS_DETAL", [](Args) {
            MOS_DETAL();
            return Value();
        });
        rt::register_function("MOS_PEND", [](Args) {
            MOS_PEND();
            return Value();
        });
    });
}

}  // namespace qv::tables
