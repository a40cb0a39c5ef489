#include <gtest/gtest.h>

#include "app/EngineFolders.h"

namespace lumora {
namespace {

struct Case {
  const char* name;
  EngineFolderInputs inputs;
  EngineFolders expected;
};

TEST(EngineFoldersTest, BesideAPortableCopyElsePerUserWithRelativeVariablesIgnored) {
  const Case cases[] = {
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
  for (const Case& c : cases) {
    EngineFolders chosen = ChooseEngineFolders(c.inputs);
    EXPECT_EQ(chosen.data, c.expected.data) << c.name;
    EXPECT_EQ(chosen.cache, c.expected.cache) << c.name;
  }
}

}  // namespace
}  // namespace lumora
