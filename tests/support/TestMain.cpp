// The main of every test program. Natively it builds the simulated machine first: one host
// folder, made for this run and removed afterwards, is drive C:, with a Windows folder, a
// temporary folder and the special folders in it. Under Wine the tests run on the sandbox's real
// Windows API as it is.

#include <gtest/gtest.h>

#ifndef _WIN32
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/hosted/HostedMachine.h"
#include "support/HostedSandbox.h"
#endif

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
#ifdef _WIN32
  return RUN_ALL_TESTS();
#else
  dustmere::test::THostedSandbox sandbox;
  return RUN_ALL_TESTS();
#endif
}
