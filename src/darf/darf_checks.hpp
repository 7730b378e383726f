#pragma once
// The checks of the slip dialog's fields.
namespace qv::darf {

// nField 1 the due date (a quota's changed due date is kept for the
// office), 2 the payment date; both refuse a weekend payment and then
// recompute the fine and interest.
bool VALI_DATA(int nQuota, int nField);
// The payment is after the due date.
bool VEATRASO();
bool VE_MPAG(int nMonth);
bool VE_MPG2(int nFirst, int nLast);
bool CONF_QUOT();

// Keeps the quota due dates and the dollar rate in the settings record.
bool store_due_dates();

}  // namespace qv::darf
