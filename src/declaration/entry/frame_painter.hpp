#pragma once
// The painters of the declaration's page frames. MTELA takes a page number
// and paints pages 1-5 by their sub-page (OPCIR_1), handing pages 6 and up
// to MOSTEL. Pages 1 and 2 are painted by the income-source lists' own
// painters (JANPJUR, JANPFIS) when they are registered.
namespace qv::declaration {

struct FrameText;

void MTELA(int page);
void MOSTEL(int page);
// The frame number a page shows now: the sub-page for pages 3-5, the model
// (70 simplified, 71 complete) for page 7, the page itself otherwise.
int frame_number(int page);
// The lists of Alt+I and Alt+H in window 10: 1 the screen index (13 rows,
// the last one leaves the declaration), 2 the help menu (4 rows); 4 the
// register data and 5 the property form of an asset (variant 1 in Brazil,
// 3 abroad; the registry's labels when REGISTRO is "S").
void MTELAVER(int n, int variant = 0);
// The taxpayer box of the CPF prompt (window 3).
void taxpayer_box();
// Sets element `index` (1-23) of the origin array `name` (ALJ, ACJ, ALJA,
// ACJA), making the array whole first.
void set_origin(const char* name, int index, int value);
// ALJ / ACJ at the page: the row and column the page's fields count from.
int page_row(int page);
int page_col(int page);
// Opens `window` on the frame's box (COR_TEL1, COR_TEL2, COR_ENCHE) and
// writes its labels and its title on the top border.
void paint_frame(const FrameText& frame, int window);

}  // namespace qv::declaration
