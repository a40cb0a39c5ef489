#include "core/ContentServer.h"

namespace lumora {

ContentServer ContentServer::Configured() {
  return ContentServer(LUMORA_BASE_URL, LUMORA_SITE_URL);
}

std::string ContentServer::PlayData(int id, std::string_view v, std::string_view v1) const {
  return baseUrl_ + "h.asp?id=" + std::to_string(id) + "&v=" + std::string(v) +
         "&v1=" + std::string(v1);
}

std::string ContentServer::UsagePing(std::string_view userId) const {
  return baseUrl_ + "tj/tj.asp?id=" + std::string(userId);
}

std::string ContentServer::PlayerPage(std::string_view first, std::string_view second) const {
  return baseUrl_ + "play.htm?" + std::string(first) + "$$$" + std::string(second);
}

std::string ContentServer::InfoPage(std::string_view fiveValues) const {
  return baseUrl_ + "pp.htm?" + std::string(fiveValues);
}

std::string ContentServer::TvPlayerPage(std::string_view query) const {
  return baseUrl_ + "tv/kavotv.htm?" + std::string(query);
}

}  // namespace lumora
