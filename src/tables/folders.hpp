#pragma once
// Client data folders: the terminal's folder list, switching the selected
// folder, opening a folder's taxpayer register, creating a missing folder,
// finding a taxpayer in the other folders; and the status descriptions.
#include <functional>
#include <string_view>
#include "runtime/core/value.hpp"

namespace qv::tables {

// With the folder list selected and on a folder record: mode 1 selects
// that folder and switches to it; any other mode only clears the other
// marks and reopens the register of LOCARQ.
bool TROCASIM(int mode);
// Opens the register IMP0912 of `folder` in area 9, on the current CPF.
bool MUDADIR(std::string_view folder);
// True when the folder exists or the user had it created.
bool CRI_NDIR(std::string_view folder, std::string_view label);
// Looks for the value of `variable` ("M->CPF", "M->CPFCONJU") in the other
// folders of the list, in register order `order` (1 CPF, 2 name).
bool BUSCA_OUTRO(std::string_view variable, int order, int mode);
// Makes `folder` the selected one (at once true when it is), as a taxpayer
// found in another folder does; false when the terminal's list does not
// hold it or it has no register.
bool select_listed_folder(std::string_view folder);
// The status description of `code` (see the modes in folders.cpp).
rt::Value VE_STAT(const rt::Value& code, int mode);
// Progress bar in window 3 (where = 1) or window 10.
void MOSTRADOR(int n, int where);

// The status pick list VE_STAT opens for an unknown code (the look-up
// browses install it); nothing happens while none is installed.
void set_status_pick_list(std::function<void()> pick);

// Registers VE_STAT for the entry validations that name it.
void register_folder_routines();

}  // namespace qv::tables
