#pragma once
// The table catalogue's tests: a program folder and a client folder of the
// test's own, the program variables pointing at them, and a headless screen
// that keeps a copy of what was shown whenever a routine waited for a key.
#include "system/system_fixture.hpp"

namespace qv::tables::testing {

using Recording = qv::test_support::RecordingBackend;
using TablesTest = qv::test_support::FoldersTest;

}  // namespace qv::tables::testing
