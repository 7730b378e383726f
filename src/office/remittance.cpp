#include "office/remittance.hpp"

#include <cmath>
#include <cstdio>

#include "runtime/core/text.hpp"
#include "transfer/xml_values.hpp"

namespace qv::office {

namespace {

// Left-aligned in exactly `width` columns. The bank reads plain ASCII: the
// stored CP850 letters are transliterated as in the tax program's file
// ("JOSÉ DA CONCEIÇÃO" goes as "JOSE DA CONCEICAO").
std::string field(std::string_view text, std::size_t width) {
    return rt::PADR(rt::SUBSTR(transfer::CONVCAR(text), 1, static_cast<long>(width)), width);
}

std::string zeros(long value, int width) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*ld", width, value < 0 ? 0 : value);
    return buf;
}

std::string ddmmyy(rt::Date d) {
    if (d.empty()) return "000000";
    return zeros(d.day(), 2) + zeros(d.month(), 2) + zeros(d.year() % 100, 2);
}

std::string blanks(std::size_t n) { return std::string(n, ' '); }

}  // namespace

std::string remittance_header(const Issuer& issuer, rt::Date generated) {
    std::string r = "01REMESSA01COBRANCA       ";
    r += field(issuer.agency, 4) + "00" + field(issuer.account, 6) + blanks(8) + field(issuer.name, 30);
    r += "341BANCO ITAU SA  " + ddmmyy(generated) + blanks(294) + zeros(1, 6);
    return r;
}

std::string remittance_detail(const Issuer& issuer, const Slip& slip, rt::Date generated, int sequence) {
    const bool company = !rt::ALLTRIM(issuer.cnpj).empty();
    std::string r = "1";
    r += company ? "02" + field(issuer.cnpj, 14) : "01000" + field(issuer.cpf, 11);
    r += field(issuer.agency, 4) + "00" + field(issuer.account, 6) + blanks(33);
    r += zeros(slip.reference, 8) + std::string(13, '0') + field(issuer.wallet, 3) + blanks(21) + "I01";
    r += zeros(slip.document, 5) + blanks(5) + ddmmyy(slip.due);
    r += zeros(std::lround(slip.amount * 100), 13) + "3410000017N" + ddmmyy(generated) + std::string(62, '0');
    r += "01000" + field(slip.cpf, 11) + field(slip.name, 30) + blanks(10);
    const Payer& p = slip.payer;
    r += field(rt::SUBSTR(transfer::CONVCAR(p.street_type), 1, 5) + " " + rt::SUBSTR(transfer::CONVCAR(p.street), 1, 27) +
                   " " + p.number,
               40);
    r += field(p.district, 12) + field(p.cep, 8) + field(p.city, 15) + field(p.state, 2) + blanks(34);
    r += "00000000 " + zeros(sequence, 6);
    return r;
}

std::string remittance_trailer(int sequence) { return "9" + blanks(393) + zeros(sequence, 6); }

std::string remittance_file(const Issuer& issuer, const std::vector<Slip>& slips, rt::Date generated) {
    std::string out = remittance_header(issuer, generated) + "\r\n";
    int sequence = 1;
    for (const Slip& s : slips) out += remittance_detail(issuer, s, generated, ++sequence) + "\r\n";
    out += remittance_trailer(++sequence) + "\r\n";
    return out;
}

}  // namespace qv::office
