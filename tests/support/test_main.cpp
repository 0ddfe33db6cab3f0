// Every test program starts here, however it is run (ctest or by hand):
// widgets draw off screen, and readings are archived into the build folder,
// never into the user's own archive. Either can still be set from outside.

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

void SetUnlessGiven(const char* name, const char* value) {
  const char* given = std::getenv(name);
  if (given == nullptr || *given == '\0') setenv(name, value, 1);
}

}  // namespace

int main(int argc, char** argv) {
  SetUnlessGiven("QT_QPA_PLATFORM", "offscreen");
  SetUnlessGiven("ORTI415_ARCHIVE", ORTI415_TEST_ARCHIVE);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
