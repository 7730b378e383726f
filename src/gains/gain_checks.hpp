#pragma once
// The checks of the gain's entry form and of its share-movement grid. A
// check answers true to accept the value; false keeps the cursor on it.
#include <string>
#include <string_view>

namespace qv::gains {

// The natures of the operation, numbered 1-9 as the user picks them.
const char* nature_name(int number);

// The sale date (DATA_ALI): this year's sale, an earlier year's sale whose
// instalments come in now, or refused.
bool VEIND_VEN();
// The asset item (NRO_ITEM) of the assets list: description and cost.
bool ACHA_BEM();
// The nature of the operation picked by its number when empty.
bool MOSTOPER();
// An S/N field (PARCOMPRA, VEN_PRAZO): anything but "S" is "N"; leaving
// parcels drops the parcel rows after confirmation.
bool VE_LETRAN(std::string_view field);
// Grid 10's kind of share (column 3) and movement type (column 4).
bool VER_GAN(int value, int column);

// A parcel row for gain `number` (the acquisition, or a share balance).
void add_parcel(int number);

}  // namespace qv::gains
