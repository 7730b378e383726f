#pragma once
// The statement of the computation of each capital gain: the asset, the
// questions, the cost (or its parts, or the shares sold), the reductions,
// the tax and the instalments.
namespace qv::printing {

// The figures of a real-estate gain as the statement shows them.
struct RealEstateFigures {
    double cost = 0;          // after the exchange share, when there is one
    double share = 1;         // the exchange share, 4 decimals
    double result1 = 0, result2 = 0, result3 = 0, result4 = 0;
    double fr1_percent = 0, fr2_percent = 0;
    double proportional = 0;  // reduction by a new residential property
    double taxable = 0, tax = 0, exempt = 0;
};
struct RealEstateInput {
    double sale = 0, cost = 0, reduction = 0, fr1_value = 0, fr2_value = 0, reinvested_percent = 0;
    double stored_exempt = 0;
    bool exchange = false;
    bool small_value = false;
};
RealEstateFigures real_estate_figures(const RealEstateInput& in);

void IMPGANHO();
// The statement of the current row of the gains work table; `mode` 0 after
// a whole declaration, 1 from its own sheet.
void IMPRGAN(int mode);
void IMP_TITULO(int kind);
void CABEC_GAN(int table);
// Keeps the next `lines` lines of table `table` on the page; `first` when
// the table starts here and needs its heading.
void TESTA_QUEBRA(int table, int kind, bool first, int lines);

}  // namespace qv::printing
