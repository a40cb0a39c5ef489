#include "app/Startup.h"
#include "platform/gtk/GtkPlatform.h"

int main() {
  lumora::gtk::GtkPlatform platform;
  lumora::RunStartup(lumora::ExecutableDirectory(), platform.GetNetworkAdapters(),
                     platform.GetClock());
  return 0;
}
