#pragma once

#include <string>
#include <string_view>

namespace lumora {

// Every address of the content server the program uses, built from its two base addresses.
class ContentServer {
 public:
  ContentServer(std::string baseUrl, std::string siteUrl)
      : baseUrl_(std::move(baseUrl)), siteUrl_(std::move(siteUrl)) {}

  // The addresses this build was configured with (LUMORA_BASE_URL and LUMORA_SITE_URL).
  static ContentServer Configured();

  const std::string& BaseUrl() const { return baseUrl_; }
  const std::string& SiteUrl() const { return siteUrl_; }

  // Text resources read with FetchText.
  std::string ControlFile() const { return baseUrl_ + "lib/wen.txt"; }
  std::string TickerList() const { return baseUrl_ + "lib/gun.txt"; }
  std::string PopupAdList() const { return baseUrl_ + "lib/tan.txt"; }
  std::string PlayData(int id, std::string_view v, std::string_view v1) const;

  // Pages loaded into web views.
  const std::string& Portal() const { return baseUrl_; }
  std::string UsagePing(std::string_view userId) const;
  std::string AdBanner() const { return baseUrl_ + "js/ads/bo.html"; }
  std::string ShoppingPage() const { return baseUrl_ + "js/ads/tao.html"; }
  std::string TvChannelList() const { return baseUrl_ + "tv/list.htm"; }
  std::string TvStartPage() const { return baseUrl_ + "tv/ad.htm"; }
  std::string PlayerPage(std::string_view first, std::string_view second) const;
  std::string InfoPage(std::string_view fiveValues) const;
  std::string TvPlayerPage(std::string_view query) const;
  std::string ExitAdPage() const { return baseUrl_ + "js/ads/tui.html"; }

  // Handed to the shell.
  std::string Updater() const { return baseUrl_ + "update/update.exe"; }

 private:
  std::string baseUrl_;
  std::string siteUrl_;
};

}  // namespace lumora
