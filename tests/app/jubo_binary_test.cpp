// The built program from outside: what a second copy does. Runs with SDL's offscreen driver
// and a runtime folder of the test's own.
#include <gtest/gtest.h>

#include <chrono>

#include "support/fixture_library.h"
#include "support/harness.h"
#include "support/jubo_process.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

using namespace std::chrono_literals;
using jubo_test::Eventually;
using jubo_test::JuboProcess;
using jubo_test::ReadFile;
using jubo_test::RunCommand;

TEST(JuboBinaryTest, ASecondCopyEndsAtOnceAndLeavesTheFirstAlone) {
  jubo_test::TempDir home, runtime;
  jubo_test::SmallLibrary().WriteTo(home.path());
  JuboProcess first(home.path().string(), runtime.path().string(),
                    (runtime.path() / "first.err").string());
  // The first copy answers its remote only once it holds the lock.
  std::string out;
  const auto answers = [&] {
    return RunCommand({JUBO_REMOTE, "screen"}, runtime.path().string(), &out) == 0;
  };
  ASSERT_TRUE(Eventually(answers)) << out;
  JuboProcess second(home.path().string(), runtime.path().string(),
                     (runtime.path() / "second.err").string());
  // It ends at once; the bound only keeps a broken lock from hanging the test.
  EXPECT_EQ(second.WaitExit(60s), 0);
  EXPECT_EQ(ReadFile(runtime.path() / "second.err"), "");
  EXPECT_TRUE(answers()) << "the first copy still runs: " << out;
  first.Terminate();
  EXPECT_EQ(first.WaitExit(60s), 0);
}

}  // namespace
