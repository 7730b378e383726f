#pragma once
// The table catalogue and data folders in one include: opening by code,
// layouts and upgrades, shared access and locks, client data folders, and
// the delivered reference tables.
#include "tables/catalogue.hpp"
#include "tables/folders.hpp"
#include "tables/locks.hpp"
#include "tables/opening.hpp"
#include "tables/reference_tables.hpp"
#include "tables/schema_upgrade.hpp"
#include "tables/schemas.hpp"
#include "tables/state.hpp"
