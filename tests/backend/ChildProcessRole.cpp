#include <glib.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/gtk/GtkPlatform.h"
#include "tests/backend/BackendTestSupport.h"
#include "tests/backend/CommandLines.h"

namespace lumora::gtk {
namespace {

using namespace lumora::testing;

std::string Setting(const char* name) {
  const char* value = g_getenv(name);
  return value ? value : "";
}

void Report(const std::string& line) {
  std::ofstream(Setting("LUMORA_TEST_OUTPUT"), std::ios::app) << line << '\n';
}

// The running instance: claims, reports it, then reports the first command line handed over.
void PlayFirstInstance() {
  GtkPlatform platform;
  SingleInstance& instance = platform.GetSingleInstance();
  std::vector<std::string> handedOver;
  bool received = false;
  instance.onHandOver = [&](const std::vector<std::string>& commandLine) {
    handedOver = commandLine;
    received = true;
  };
  ASSERT_TRUE(instance.Claim(Setting("LUMORA_TEST_APP_ID"), {"first"}));
  Report("claimed");
  ASSERT_TRUE(PumpUntil([&] { return received; }, 10s));
  Report(JoinCommandLine(handedOver));
}

// A later start: hands its command line over and is told to end.
void PlaySecondInstance() {
  GtkPlatform platform;
  EXPECT_FALSE(platform.GetSingleInstance().Claim(Setting("LUMORA_TEST_APP_ID"),
                                                  SplitCommandLine(Setting("LUMORA_TEST_ARGS"))));
}

// Run only as a helper process, by StartHelper.
TEST(ChildProcess, DISABLED_Role) {
  std::string role = Setting("LUMORA_TEST_ROLE");
  if (role == "first") return PlayFirstInstance();
  if (role == "second") return PlaySecondInstance();
  FAIL() << "no such role: " << role;
}

}  // namespace
}  // namespace lumora::gtk
