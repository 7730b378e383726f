#pragma once
// The common routines' tests run on a headless screen that also keeps a
// copy of the screen each time a routine waits for a key, so that what a
// dialog showed can be checked after it closed.
#include "system/system_fixture.hpp"

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/windows.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/screen/backend.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"

namespace qv::common::testing {

using qv::test_support::RecordingBackend;
using qv::test_support::TempFolder;

class CommonTest : public qv::test_support::ScreenTest {
protected:
    // A screen row as CP850 bytes (one byte per column).
    std::string row(int r) const { return rt::row_text(r); }
    rt::Attr attr(int r, int c) const { return rt::cell_at(r, c).attr; }
    char ch(int r, int c) const { return static_cast<char>(rt::cell_at(r, c).ch); }
};

}  // namespace qv::common::testing
