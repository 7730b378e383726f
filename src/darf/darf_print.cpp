#include "darf/darf_print.hpp"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "common/avisosn.hpp"
#include "common/messages.hpp"
#include "common/globals.hpp"
#include "common/paths.hpp"
#include "common/windows.hpp"
#include "darf/darf_charges.hpp"
#include "darf/darf_dialog.hpp"
#include "darf/darf_principal.hpp"
#include "darf/darf_state.hpp"
#include "darf/darf_text.hpp"
#include "printing/nao_dos_job.hpp"
#include "printing/page_layout.hpp"
#include "printing/print_target.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/os/print_device.hpp"

namespace qv::darf {

namespace {

constexpr int kPlainPaper = 1, kContinuousForm = 2, kPreprintedSheet = 3;
constexpr double kLeastPayable = 10.0;
constexpr int kLaserPageLines = 74;
constexpr int kProgressWindow = 3;

int paper_mode() { return integer("QUEMOD", kPlainPaper); }
bool laser() { return integer("TEM_LASER") != 0; }
bool own_printer() { return rt::ALLTRIM(text("NOMEIMP")) == "NAO DOS"; }
bool first_pass() {
    const rt::Value v = common::Global{"PRIM_DARF"}.value();
    return !v.is_logical() || v.as_bool();
}

// The interest of a quota still to fall due grows until it is paid: the
// office may leave it (and the total) for the client to fill in.
bool future_interest_left_blank() {
    return later_quota() && date("DF_VCTO") > date("DF_PGTO") && rt::TRIM(text("CDARFUTU")) == "N";
}

std::string day_text(std::string_view name) { return rt::DTOC(date(name)); }

FormPlaces form_places(int mode) {
    std::ifstream in(common::fs_path(text("ARQDEF") + places_file_name(mode)), std::ios::binary);
    if (!in) return default_places();
    return adjusted_places(std::string(std::istreambuf_iterator<char>(in), {}));
}

int lines_per_page() {
    if (laser()) return kLaserPageLines;
    const int n = integer("NROLINHAS", 60);
    return n > 0 ? n : 60;
}

int slip_copies() {
    const int copies = std::max(integer("NRO_VIAS", 1), 1);
    return paper_mode() == kContinuousForm ? copies : std::max(copies, 2);
}

void print_plain(const SlipValues& v) {
    const std::vector<std::string> rows = plain_slip(v);
    int top = printing::QLIN();
    if (top > 0 && top + static_cast<int>(rows.size()) > lines_per_page()) {
        printing::new_page();
        top = 0;
    }
    for (std::size_t r = 0; r < rows.size(); ++r) rt::os::printer().say(top + static_cast<int>(r), 0, rows[r]);
    common::Global{"QLIN"}.set(rt::Value(top + static_cast<int>(rows.size()) + 1));
}

void print_on_form(const SlipValues& v, int mode) {
    const FormPlaces places = form_places(mode);
    int top = printing::QLIN();
    if (mode == kPreprintedSheet) {
        if (top > 0) printing::new_page();
        top = std::max(integer("NDESLOC"), 0);
    }
    printing::AJUS_FIN();
    for (const PlacedText& t : placed_values(v, places)) rt::os::printer().say(top + t.at.row, t.at.col, t.text);
    const auto height = places.find("ALTURA");
    common::Global{"QLIN"}.set(rt::Value(top + (height != places.end() ? height->second.row : 22)));
}

void laser_page_setup() {
    if (laser()) rt::os::printer().write_raw("\x1B&l0E\x1B&l74P");
}

}  // namespace

SlipValues slip_values(bool plain) {
    SlipValues v;
    const bool dependant = kind() == kCarneLeao && rt::TRIM(text("DARFTD")) == "N";
    v.name = rt::PADR(text(dependant ? "NOMEDEPEN" : "NOMECONTR"), kSlipTextWidth);
    const std::string phone = rt::ALLTRIM(text("TELEFO"));
    if (!phone.empty()) v.phone = rt::TRANSFORM(rt::Value(rt::PADR(phone, 8)), "@R 9999-9999");
    for (int i = 0; i < kSlipTextLines; ++i) v.lines[std::size_t(i)] = text("DF_OUTR" + std::to_string(i + 1));
    v.period = day_text("DF_PERIODO");
    v.cpf = rt::TRANSFORM(rt::Value(rt::PADR(rt::ALLTRIM(text(dependant ? "CPFDEPEN" : "CPF")), 11)), "@R 999.999.999-99");
    v.code = text("DF_CODIG");
    v.reference = text("DF_REFER");
    v.due = day_text("DF_VCTO");
    v.principal = amount_text(number("IMPO_REAL"));
    v.fine = amount_text(number("VAL_MULTA"));
    const double total = number("VAL_TOTAL");
    if (future_interest_left_blank()) {
        if (plain) v.notice[0] = "NOS JUROS POR A CORRECAO DA SELIC";
    } else {
        v.interest = amount_text(number("VAL_JURO"));
        v.total = amount_text(total);
        if (total < kLeastPayable) {
            v.notice[0] = plain ? "VALOR INFERIOR R$ 10,00 - NAO PAGAR" : "VALOR INFERIOR A R$ 10,00 - NAO PAGAR";
            v.notice[1] = " SOME C/OUTROS DARFS DO MESMO CODIGO ";
        }
    }
    v.valid_until = "Valido p/ pagamento ate " + rt::DTOC(std::max(date("DF_VCTO"), date("DF_PGTO")));
    return v;
}

void IMPRDARF() {
    if (number("IMPO_REAL") == 0.0) return;
    const int mode = paper_mode();
    const SlipValues v = slip_values(mode == kPlainPaper);
    if (mode == kPlainPaper) print_plain(v);
    else print_on_form(v, mode);
}

void FAZ_DARF() {
    printing::set_device(printing::Device::Printer);
    laser_page_setup();
    const int k = kind();
    const int first = k == kQuota ? integer("QUE_QUOTA", 1) : k == kFree ? 1 : integer("MES_PGTO", 1);
    const int count = k == kFree || k == kLateFiling ? 1 : std::max(integer("QTD_DARF", 1), 1);
    for (int n = first; n < first + count && !printing::PAREIMP(); ++n) {
        if (k != kFree && !BUS_IMPO(n, k, kSilent)) continue;
        set_slip_number(n);
        PREENCHE(n);
        CALCJU(2, 1);
        for (int copy = 0; copy < slip_copies(); ++copy) IMPRDARF();
    }
}

void PREP_DARF() {
    for (;;) {
        if (first_pass()) {
            if (!DARF()) {
                // Leaving the dialog ends the run for every taxpayer.
                if (!one_taxpayer()) set("CAN_IMP", rt::Value(true));
                return;
            }
            set("PRIM_DARF", rt::Value(false));
        }
        if (rt::ALLTRIM(text("ARQ_IMP")).empty() && !printing::PREP_IMP()) {
            set("PRIM_DARF", rt::Value(true));
            return;
        }
        FAZ_DARF();
        if (laser() && printing::QLIN() > 0) printing::new_page();
        common::FECHAJAN(kProgressWindow);
        if (!one_taxpayer()) return;
        set("PRIM_DARF", rt::Value(true));
        if (own_printer()) {
            printing::IMP_TXT(1);
            // The job has gone to the print program: the run's end must
            // not hand the same file over again.
            set("ARQ_IMP", rt::Value(" "));
        }
        printing::set_device(printing::Device::Screen);
        if (common::AVISOSN("Outro tipo de DARF? (S/N)", 2).as_string() != "S") return;
    }
}

}  // namespace qv::darf
