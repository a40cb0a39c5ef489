#include "shell/PortalPane.h"

#include "shell/SkinSheets.h"
#include "shell/Theme.h"
#include "shell/WindowFrame.h"

namespace lumora {

PortalPane::PortalPane(TopWindow& window, Picture& page, ContentServer server)
    : server_(std::move(server)) {
  frame_ = &page.AddPicture();
  frame_->SetBackColor(kPageBack);
  view_ = &frame_->AddWebView();
  cover_ = &page.AddPicture();
  cover_->SetBackColor(kPageBack);
  coverPicture_ = &cover_->AddImage();
  coverPicture_->onMouseMove = [&window](const MouseEvent&) {
    window.SetPointer(PointerShape::Arrow);
  };
  coverPicture_->SetAccessible({AccessibleRole::PushButton, "重新加载"});
  coverPicture_->onClick = [this] { Retry(); };
  view_->onDownloadComplete = [this] {
    OnLoaded();
    if (onDocumentArrived) onDocumentArrived();
  };
  view_->onNavigateError = [this](const std::string& address) { OnError(address); };
}

void PortalPane::LoadPictures(int screenScale) {
  coverPicture_->SetImage(ScaledPicture("wait.png", screenScale));
  errorPicture_ = ScaledPicture("error.png", screenScale);
}

void PortalPane::Layout(Size page) {
  frame_->SetGeometry({0, 0, page.width, page.height});
  cover_->SetGeometry({0, 0, page.width, page.height});
  Size picture = coverPicture_->Geometry().Extent();
  coverPicture_->Move({(page.width - picture.width) / 2, (page.height - picture.height) / 2 - 20});
  PlaceViewInFrame(*view_, page);
}

void PortalPane::Start() {
  view_->Navigate(server_.Portal());
}

// The view loads and draws under the cover, so the page is there at once when the cover lifts.
void PortalPane::OnLoaded() {
  if (!loadFailed_ && cover_->Visible()) {
    frame_->SetVisible(true);
    cover_->SetVisible(false);
  }
}

// Only a failure of the server's own pages covers the portal.
void PortalPane::OnError(const std::string& address) {
  if (address.find(server_.BaseUrl()) == std::string::npos) return;
  frame_->SetVisible(false);
  coverPicture_->SetImage(errorPicture_);
  cover_->SetVisible(true);
  loadFailed_ = true;
}

void PortalPane::Retry() {
  loadFailed_ = false;
  Start();
}

}  // namespace lumora
