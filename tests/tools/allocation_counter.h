#pragma once

namespace zv::test {

// Calls of the global operator new in this test program so far (its replacement counts
// every call and otherwise behaves like the standard one).
long allocationCount();

}  // namespace zv::test
