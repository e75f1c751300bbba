#pragma once
// Shared by every Windows test program: COM on the test thread, a crash
// handler and a watchdog, so that a crash or a hang fails the program instead
// of passing (Wine's debugger can end a crashed program with status 0) or
// blocking the run; and HRESULTs that print as hexadecimal.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <ostream>
#include <string>

namespace sombrevox::test {

// Registers the program's environment: COM initialised with `apartment` on the
// test thread for the whole run, the crash handler, and a watchdog that ends
// the program when one test (or the environment's set-up or tear-down) runs
// longer than `limit`. Call once, from a static initializer of the program:
//   const bool installed = InstallTestEnvironment(COINIT_MULTITHREADED);
bool InstallTestEnvironment(DWORD apartment, std::chrono::seconds limit = std::chrono::seconds(120));

// Arms the watchdog for work outside a test (an environment's own set-up) and
// disarms it again.
void ArmWatchdog(const std::string& what);
void DisarmWatchdog();

// Error codes print as hexadecimal in assertion messages.
struct Hr {
  HRESULT value;
  bool operator==(const Hr& other) const { return value == other.value; }
};
std::ostream& operator<<(std::ostream& out, const Hr& hr);

}  // namespace sombrevox::test

#define EXPECT_HR(expected, call) \
  EXPECT_EQ(::sombrevox::test::Hr{static_cast<HRESULT>(expected)}, ::sombrevox::test::Hr{static_cast<HRESULT>(call)})
#define ASSERT_HR(expected, call) \
  ASSERT_EQ(::sombrevox::test::Hr{static_cast<HRESULT>(expected)}, ::sombrevox::test::Hr{static_cast<HRESULT>(call)})
