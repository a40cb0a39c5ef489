#include <gtest/gtest.h>

#include <tuple>

#include "app/EngineFolders.h"

namespace lumora {
namespace {

TEST(EngineFoldersTest, BesideAPortableCopyElsePerUserWithRelativeVariablesIgnored) {
  const std::tuple<const char*, EngineFolderInputs, EngineFolders> cases[] = {
      {"portable copy",
       {"/opt/p/", "/opt/p", "/x/data", "/x/cache", "/home/u"},
       {"/opt/p/webdata", "/opt/p/webcache"}},
      {"installed",
       {"/home/u/.local/share/lumora", "/usr/bin", "/x/data", "/x/cache", "/home/u"},
       {"/x/data/lumora", "/x/cache/lumora"}},
      {"unset variables",
       {"/d", "/usr/bin", "", "", "/home/u"},
       {"/home/u/.local/share/lumora", "/home/u/.cache/lumora"}},
      {"relative variables",
       {"/d", "/usr/bin", "data", "./cache", "/home/u"},
       {"/home/u/.local/share/lumora", "/home/u/.cache/lumora"}},
      {"no home for one of them", {"/d", "/usr/bin", "/x/data", "", ""}, {}},
      {"relative home", {"/d", "/usr/bin", "", "", "home"}, {}},
      {"relative program folder",
       {"p", "p", "", "", "/home/u"},
       {"/home/u/.local/share/lumora", "/home/u/.cache/lumora"}},
  };
  for (const auto& [name, inputs, expected] : cases) {
    EngineFolders chosen = ChooseEngineFolders(inputs);
    EXPECT_EQ(std::pair(chosen.data, chosen.cache), std::pair(expected.data, expected.cache))
        << name;
  }
}

}  // namespace
}  // namespace lumora
