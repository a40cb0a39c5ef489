#include "platform/gtk/GtkSingleInstance.h"

#include "platform/Raise.h"
#include "platform/gtk/SessionBus.h"

namespace lumora::gtk {
namespace {

// A command line waiting for the main loop, for as long as its receiver lives.
struct PendingHandOver {
  std::weak_ptr<char> receiverAlive;
  SingleInstance* receiver;
  std::vector<std::string> commandLine;
};

gboolean DeliverHandOver(gpointer data) {
  auto* pending = static_cast<PendingHandOver*>(data);
  if (!pending->receiverAlive.expired()) {
    Raise(pending->receiver->onHandOver, pending->commandLine);
  }
  return G_SOURCE_REMOVE;
}

void ForwardOverBus(GApplication* application, const std::vector<std::string>& commandLine) {
  std::vector<char*> argv;
  for (const std::string& argument : commandLine)
    argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  // A remote GApplication sends its arguments to the primary instance and returns its answer.
  g_application_run(application, static_cast<int>(commandLine.size()), argv.data());
}

}  // namespace

GtkSingleInstance::~GtkSingleInstance() {
  if (application_) g_signal_handlers_disconnect_by_data(application_.get(), this);
}

std::string GtkSingleInstance::ApplicationId(const std::string& appId) {
  std::vector<std::string> elements{""};
  for (char c : appId) {
    if (g_ascii_isalnum(c) || c == '_' || c == '-') {
      if (elements.back().empty() && g_ascii_isdigit(c)) elements.back() += '_';
      elements.back() += c;
    } else if (!elements.back().empty()) {
      elements.emplace_back();
    }
  }
  if (elements.back().empty()) elements.pop_back();
  if (elements.empty()) elements.push_back("Lumora");
  if (elements.size() == 1) elements.push_back("instance");
  std::string id;
  for (const std::string& element : elements) id += (id.empty() ? "" : ".") + element;
  return id.substr(0, 255);
}

bool GtkSingleInstance::Claim(const std::string& appId,
                              const std::vector<std::string>& commandLine) {
  std::string id = ApplicationId(appId);
  if (SessionBusReachable()) {
    if (std::optional<bool> claimed = ClaimOverBus(id, commandLine)) return *claimed;
  }
  socket_ = std::make_unique<HandOverSocket>(
      HandOverSocket::PathFor(id),
      [this](const std::vector<std::string>& handedOver) { Raise(onHandOver, handedOver); });
  return socket_->Claim(commandLine);
}

std::optional<bool> GtkSingleInstance::ClaimOverBus(const std::string& id,
                                                    const std::vector<std::string>& commandLine) {
  GObjectPtr<GApplication> application(
      g_application_new(id.c_str(), G_APPLICATION_HANDLES_COMMAND_LINE));
  if (!g_application_register(application.get(), nullptr, nullptr)) return std::nullopt;
  if (g_application_get_is_remote(application.get())) {
    ForwardOverBus(application.get(), commandLine);
    return false;
  }
  // Without a bus GApplication makes every instance the primary one.
  if (!g_application_get_dbus_connection(application.get())) return std::nullopt;
  g_signal_connect(application.get(), "command-line", G_CALLBACK(OnCommandLine), this);
  application_ = std::move(application);
  return true;
}

void GtkSingleInstance::HandOverLater(std::vector<std::string> commandLine) {
  auto* pending = new PendingHandOver{alive_, this, std::move(commandLine)};
  g_idle_add_full(G_PRIORITY_DEFAULT_IDLE, DeliverHandOver, pending,
                  [](gpointer data) { delete static_cast<PendingHandOver*>(data); });
}

int GtkSingleInstance::OnCommandLine(GApplication*, GApplicationCommandLine* commandLine,
                                     gpointer data) {
  gint argc = 0;
  g_auto(GStrv) argv = g_application_command_line_get_arguments(commandLine, &argc);
  // Answer the other start at once; the program's handler runs on the main loop afterwards.
  static_cast<GtkSingleInstance*>(data)->HandOverLater({argv, argv + argc});
  return 0;
}

}  // namespace lumora::gtk
