#pragma once

#include <functional>
#include <string>

#include "content/RouterWindow.h"
#include "core/ContentServer.h"
#include "core/ServerFetch.h"

namespace lumora {

// The program's own link schemes inside the main window's views: play links ask the server for
// play data, player links open the player and record the item, TV links open the TV player,
// and the history page's open and delete links act on the play list.
class LinkRouter {
 public:
  using Balloon = std::function<void(const std::string& text)>;

  LinkRouter(RouterWindow& window, ServerFetch& fetch, ContentServer server, Balloon showBalloon);

  // Takes the navigations of the four views that carry the program's links.
  void Attach();

  // Handlers of the views' navigations; each sets cancel when it takes the link.
  void OnPortalNavigate(const std::string& url, bool& cancel);       // Web1
  void OnHistoryNavigate(const std::string& url, bool& cancel);      // Web3
  void OnInformationNavigate(const std::string& url, bool& cancel);  // Web5
  void OnChannelNavigate(const std::string& url, bool& cancel);      // Web11

 private:
  void PlayLink(const std::string& url);
  void PlayerLink(const std::string& url);
  void DeleteLink(const std::string& url);
  void OpenLink(const std::string& url);

  RouterWindow& window_;
  ServerFetch& fetch_;
  ContentServer server_;
  Balloon showBalloon_;
};

}  // namespace lumora
