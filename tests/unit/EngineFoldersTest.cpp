#include <gtest/gtest.h>

#include <tuple>

#include "app/EngineFolders.h"

namespace lumora {
namespace {

// The program's folder, the executable's, XDG_DATA_HOME, XDG_CACHE_HOME and HOME, then the data
// and cache folders chosen.
TEST(EngineFoldersTest, BesideAPortableCopyElsePerUserWithRelativeVariablesIgnored) {
  const EngineFolders perUser{"/h/.local/share/lumora", "/h/.cache/lumora"};
  const std::tuple<const char*, EngineFolderInputs, EngineFolders> cases[] = {
      {"portable copy", {"/p/", "/p", "/d", "/c", "/h"}, {"/p/webdata", "/p/webcache"}},
      {"installed", {"/u", "/usr/bin", "/d", "/c", "/h"}, {"/d/lumora", "/c/lumora"}},
      {"unset variables", {"/u", "/usr/bin", "", "", "/h"}, perUser},
      {"relative variables", {"/u", "/usr/bin", "d", "./c", "/h"}, perUser},
      {"no home for one of them", {"/u", "/usr/bin", "/d", "", ""}, {}},
      {"relative home", {"/u", "/usr/bin", "", "", "h"}, {}},
      {"relative program folder", {"p", "p", "", "", "/h"}, perUser},
  };
  for (const auto& [name, inputs, expected] : cases) {
    EngineFolders chosen = ChooseEngineFolders(inputs);
    EXPECT_EQ(std::pair(chosen.data, chosen.cache), std::pair(expected.data, expected.cache))
        << name;
  }
}

}  // namespace
}  // namespace lumora
