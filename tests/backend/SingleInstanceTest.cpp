#include <gio/gio.h>
#include <gio/gunixsocketaddress.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/gtk/GtkPlatform.h"
#include "platform/gtk/GtkSingleInstance.h"
#include "platform/gtk/HandOverSocket.h"
#include "tests/backend/BackendTestSupport.h"
#include "tests/backend/CommandLines.h"
#include "tests/support/TempDir.h"

namespace lumora::gtk {
namespace {

using namespace lumora::testing;

const std::vector<std::string> kLaterStart{"/opt/lumora/lumora", "--from", "a b", "\xE4\xB8\xAD",
                                           ""};

bool BusNameHasOwner(const std::string& name) {
  GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
  if (!bus) return false;
  GVariant* reply = g_dbus_connection_call_sync(
      bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
      g_variant_new("(s)", name.c_str()), G_VARIANT_TYPE("(b)"), G_DBUS_CALL_FLAGS_NONE, -1,
      nullptr, nullptr);
  gboolean owned = FALSE;
  if (reply) g_variant_get(reply, "(b)", &owned);
  if (reply) g_variant_unref(reply);
  g_object_unref(bus);
  return owned;
}

std::string FileText(const std::string& path) {
  std::ostringstream text;
  text << std::ifstream(path).rdbuf();
  return text.str();
}

// A socket file left behind by an instance that ended without removing it.
void LeaveStaleSocket(const std::string& path) {
  GSocket* socket =
      g_socket_new(G_SOCKET_FAMILY_UNIX, G_SOCKET_TYPE_STREAM, G_SOCKET_PROTOCOL_DEFAULT, nullptr);
  GSocketAddress* address = g_unix_socket_address_new(path.c_str());
  g_socket_bind(socket, address, FALSE, nullptr);
  g_socket_listen(socket, nullptr);
  g_object_unref(address);
  g_object_unref(socket);
}

TEST(SingleInstanceTest, ApplicationIdIsAlwaysValid) {
  EXPECT_EQ(GtkSingleInstance::ApplicationId("Lumora.BA1"), "Lumora.BA1");
  EXPECT_EQ(GtkSingleInstance::ApplicationId("Lumora|BA1"), "Lumora.BA1");
  EXPECT_EQ(GtkSingleInstance::ApplicationId("9.x y"), "_9.x.y");
  EXPECT_EQ(GtkSingleInstance::ApplicationId("Lumora"), "Lumora.instance");
  EXPECT_TRUE(g_application_id_is_valid(GtkSingleInstance::ApplicationId("..").c_str()));
}

TEST(SingleInstanceTest, LaterStartHandsOverItsCommandLineOnTheSessionBus) {
  GtkPlatform platform;
  SingleInstance& instance = platform.GetSingleInstance();
  std::vector<std::vector<std::string>> handedOver;
  instance.onHandOver = [&](const std::vector<std::string>& commandLine) {
    handedOver.push_back(commandLine);
  };
  std::string id = "Lumora.BusTest" + std::to_string(getpid());
  ASSERT_TRUE(instance.Claim(id, {"first"}));
  ASSERT_TRUE(BusNameHasOwner(id));

  auto later = StartHelper(
      "second", {"LUMORA_TEST_APP_ID=" + id, "LUMORA_TEST_ARGS=" + JoinCommandLine(kLaterStart)});
  EXPECT_EQ(WaitForHelper(*later), 0) << "the later start was told to end";
  ASSERT_TRUE(PumpUntil([&] { return !handedOver.empty(); }));
  EXPECT_EQ(handedOver, std::vector<std::vector<std::string>>{kLaterStart});
}

TEST(SingleInstanceTest, WithoutASessionBusLaterStartHandsOverThroughASocket) {
  test::TempDir runtime;
  std::vector<std::string> noBus{
      "-DBUS_SESSION_BUS_ADDRESS", "-DISPLAY", "XDG_RUNTIME_DIR=" + runtime.Path().string(),
      "LUMORA_TEST_APP_ID=Lumora.BA1", "LUMORA_TEST_OUTPUT=" + (runtime / "first.txt").string()};
  auto first = StartHelper("first", noBus);
  ASSERT_TRUE(PumpUntil([&] { return FileText(runtime / "first.txt") == "claimed\n"; }));
  EXPECT_TRUE(std::filesystem::exists(runtime / "lumora-Lumora.BA1.socket"));

  noBus.push_back("LUMORA_TEST_ARGS=" + JoinCommandLine(kLaterStart));
  auto later = StartHelper("second", noBus);
  EXPECT_EQ(WaitForHelper(*later), 0) << "the later start was told to end";
  EXPECT_EQ(WaitForHelper(*first), 0);
  EXPECT_EQ(FileText(runtime / "first.txt"), "claimed\n" + JoinCommandLine(kLaterStart) + "\n");
}

TEST(HandOverSocketTest, ReplacesAStaleSocketAndReceivesLaterStarts) {
  test::TempDir runtime;
  std::string path = runtime / "test.socket";
  LeaveStaleSocket(path);
  std::vector<std::vector<std::string>> handedOver;
  HandOverSocket running(path, [&](const std::vector<std::string>& commandLine) {
    handedOver.push_back(commandLine);
  });
  ASSERT_TRUE(running.Claim({"first"}));

  HandOverSocket later(path, [](const std::vector<std::string>&) {});
  EXPECT_FALSE(later.Claim(kLaterStart));
  HandOverSocket another(path, [](const std::vector<std::string>&) {});
  EXPECT_FALSE(another.Claim({}));
  ASSERT_TRUE(PumpUntil([&] { return handedOver.size() == 2; }));
  EXPECT_EQ(handedOver[0], kLaterStart);
  EXPECT_TRUE(handedOver[1].empty());
}

}  // namespace
}  // namespace lumora::gtk
