// A few hundred random key scripts through every screen (make fuzz runs
// thousands): what must hold whatever the keys were.

#include <gtest/gtest.h>

#include <random>

#include "TestSupport.h"
#include "e2e/KeyStorm.h"

using namespace almanouk;

TEST(KeyStorm, NothingTheUserWroteIsLostWhateverTheKeys) {
  constexpr int kScripts = 200;
  constexpr int kKeys = 60;
  std::mt19937 random(20261208);  // fixed: a failure comes back the same every time
  for (int i = 0; i < kScripts; ++i) {
    std::string bytes(kKeys, '\0');
    for (char& byte : bytes) byte = static_cast<char>(random());
    test::TempFolder root(true);
    test::prepareStormFolder(root.path());
    std::vector<std::string> failures = test::runStorm(root.path(), bytes);
    EXPECT_TRUE(failures.empty()) << test::stormScript(bytes) << "\n" << failures.front();
    if (!failures.empty()) break;
  }
}
