#pragma once
// Deleting a dependant, alimony recipient or heir takes with it the income
// rows in that person's name and the payments made for them.
namespace qv::declaration::grids {

// Asks every question first; a "no" to any of them changes nothing. Else
// the person's income rows and monthly row, the payments for them and the
// person go, and the payments of the persons numbered after them follow the
// new numbers. The dependants' table (area 23) stands on the row to delete.
// True when the person was deleted.
bool delete_dependant();

}  // namespace qv::declaration::grids
