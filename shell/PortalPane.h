#pragma once

#include <functional>
#include <string>

#include "core/ContentServer.h"
#include "platform/Controls.h"
#include "platform/Window.h"

namespace lumora {

// The portal page: the portal view (Web1) under a loading cover that lifts once the portal has
// loaded, and shows an error picture that retries when the portal failed.
class PortalPane {
 public:
  PortalPane(TopWindow& window, Picture& page, ContentServer server);

  WebView& View() { return *view_; }
  void LoadPictures(int screenScale);
  void Layout(Size page);
  void Start();

  // Raised each time the portal's document has arrived, or its load ended without it.
  std::function<void()> onDocumentArrived;

 private:
  void OnLoaded();
  void OnError(const std::string& address);
  void Retry();

  ContentServer server_;
  Picture* frame_ = nullptr;          // Pic1
  WebView* view_ = nullptr;           // Web1
  Picture* cover_ = nullptr;          // wait
  ImageBox* coverPicture_ = nullptr;  // jia
  Bitmap errorPicture_;               // w3
  bool loadFailed_ = false;           // HomeLoadFailed
};

}  // namespace lumora
