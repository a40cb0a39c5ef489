#include "content/LinkRouter.h"

#include "content/LinkPayload.h"
#include "content/PlayListFormat.h"
#include "core/AsciiText.h"
#include "core/FileIo.h"
#include "core/JsEscape.h"
#include "core/Numbers.h"
#include "core/TextCodec.h"

namespace lumora {
namespace {

constexpr std::string_view kPlayScheme = "kavovod://";
constexpr std::string_view kPlayerScheme = "kaqvod://";
constexpr std::string_view kTvScheme = "katvs://";
constexpr std::string_view kDeleteScheme = "delk://";
constexpr std::string_view kOpenScheme = "open://";
constexpr const char* kReadFailed = "读取数据出错，请返回重试！";

bool Contains(std::string_view url, std::string_view scheme) {
  return url.find(scheme) != std::string_view::npos;
}

std::string Field(const std::vector<std::string_view>& fields, size_t index) {
  return std::string(FieldOrEmpty(fields, index));
}

// A missing field counts as 0; a present one must be a whole number.
std::optional<int> NumberOrZeroIfMissing(const std::vector<std::string_view>& fields,
                                         size_t index) {
  return index < fields.size() ? WholeNumber(fields[index]) : std::optional<int>(0);
}

// A piece put into a player link may not carry the link's field separator: it would shift the item
// number and the episode that get recorded.
std::string AsPlayerField(std::string_view piece) {
  std::string text(piece);
  while (text.find("&&&") != std::string::npos) text = RemoveAll(text, "&&&");
  return text;
}

}  // namespace

LinkRouter::LinkRouter(RouterWindow& window, ServerFetch& fetch, ContentServer server,
                       Balloon showBalloon)
    : window_(window),
      fetch_(fetch),
      server_(std::move(server)),
      showBalloon_(std::move(showBalloon)) {}

void LinkRouter::Attach() {
  using Handler = void (LinkRouter::*)(const std::string&, bool&);
  auto route = [this](WebView& view, Handler handler) {
    view.onBeforeNavigate2 = [this, handler](const std::string& url, bool& cancel) {
      (this->*handler)(url, cancel);
    };
  };
  route(window_.PortalView(), &LinkRouter::OnPortalNavigate);
  route(window_.HistoryView(), &LinkRouter::OnHistoryNavigate);
  route(window_.InformationView(), &LinkRouter::OnInformationNavigate);
  route(window_.ChannelView(), &LinkRouter::OnChannelNavigate);
}

void LinkRouter::OnPortalNavigate(const std::string& url, bool& cancel) {
  if (Contains(url, kPlayScheme)) {
    cancel = true;
    PlayLink(url);
  } else if (Contains(url, kPlayerScheme)) {
    cancel = true;
    PlayerLink(url);
  }
}

void LinkRouter::OnInformationNavigate(const std::string& url, bool& cancel) {
  if (!Contains(url, kPlayScheme) && !Contains(url, kPlayerScheme)) return;
  cancel = true;
  window_.PortalView().Navigate2(url);
}

void LinkRouter::OnChannelNavigate(const std::string& url, bool& cancel) {
  if (!url.starts_with(kTvScheme)) return;
  cancel = true;
  window_.TvPlayerView().Navigate(server_.TvPlayerPage(RemoveAll(url, kTvScheme)));
  window_.ShowTvCloseButton();
  window_.SetPlayerState(PlayerState::Tv);
}

void LinkRouter::OnHistoryNavigate(const std::string& url, bool& cancel) {
  if (url.starts_with(kDeleteScheme)) {
    cancel = true;
    DeleteLink(url);
  } else if (url.starts_with(kOpenScheme)) {
    cancel = true;
    OpenLink(url);
  }
}

// kavovod://id-v-v1-escapedTitle: asks the server for the play data, then follows the player
// link it makes from the reply.
void LinkRouter::PlayLink(const std::string& url) {
  std::string payload = WithoutTrailingSlash(RemoveAll(url, kPlayScheme));
  std::vector<std::string_view> fields = SplitFields(payload, "-");
  int id = WholeNumber(FieldOrEmpty(fields, 0)).value_or(0);
  std::string v = Field(fields, 1);
  std::string v1 = Field(fields, 2);
  window_.ShowPlayerPageOnArrival();
  std::string reply = fetch_.FetchText(server_.PlayData(id, v, v1));
  if (reply.find('$') == std::string::npos) {
    window_.ShowPlayerPage();
    return showBalloon_(kReadFailed);
  }
  std::vector<std::string_view> parts = SplitFields(reply, "$");
  std::vector<std::string> pieces = {AsPlayerField(FieldOrEmpty(parts, 2)),
                                     JsEscape(FieldOrEmpty(parts, 1)),
                                     AsPlayerField(FieldOrEmpty(fields, 3)),
                                     AsPlayerField(FieldOrEmpty(parts, 0)),
                                     std::to_string(id),
                                     AsPlayerField(v),
                                     AsPlayerField(v1)};
  std::string link(kPlayerScheme);
  for (size_t i = 0; i < pieces.size(); ++i) link += (i ? "&&&" : "") + pieces[i];
  window_.PortalView().Navigate2(link);
}

// kaqvod://first&&&second&&&title&&&extra&&&id&&&v&&&v1[&&&flag]: plays, may open the item's
// information page, and records the item in the play list.
void LinkRouter::PlayerLink(const std::string& url) {
  std::string payload = WithoutTrailingSlash(RemoveAll(url, kPlayerScheme));
  std::vector<std::string_view> fields = SplitFields(payload, "&&&");
  int id = WholeNumber(FieldOrEmpty(fields, 4)).value_or(0);
  window_.SetPlayerState(PlayerState::Video);
  window_.PlayerView().Navigate(
      server_.PlayerPage(FieldOrEmpty(fields, 0), FieldOrEmpty(fields, 1)));
  window_.ShowPlayerPageOnArrival();
  window_.ShowNowPlaying();
  bool recordable = !FieldOrEmpty(fields, 2).empty() && !FieldOrEmpty(fields, 4).empty() &&
                    !FieldOrEmpty(fields, 1).empty();
  if (recordable) {
    if (FieldOrEmpty(fields, 7) == "0") {
      window_.InformationView().Navigate2(
          server_.InfoPage(std::to_string(id) + "-" + Field(fields, 5) + "-" + Field(fields, 6) +
                           "-" + Field(fields, 2) + "-0"));
    }
    std::optional<int> v = NumberOrZeroIfMissing(fields, 5);
    std::optional<int> v1 = NumberOrZeroIfMissing(fields, 6);
    if (v && v1) {
      window_.PlayList().AppendHistory(id, FieldOrEmpty(fields, 2), FieldOrEmpty(fields, 3),
                                       FieldOrEmpty(fields, 1), *v, *v1, 0);
    }
  }
}

// delk://n/: removes line n of the play list. A payload that is no number does nothing.
void LinkRouter::DeleteLink(const std::string& url) {
  std::optional<int> line = WholeNumber(RemoveAll(RemoveAll(url, kDeleteScheme), "/"));
  if (!line) return;
  window_.PlayList().RemoveHistory(kPlayListFile, *line);
  window_.InformationView().Refresh();
}

// open://n/: shows the information page of line n of the play list, starting its episode.
void LinkRouter::OpenLink(const std::string& url) {
  std::optional<int> line = WholeNumber(WithoutTrailingSlash(RemoveAll(url, kOpenScheme)));
  if (!line) return;
  std::optional<std::string> entry = window_.PlayList().ReadEntry(*line);
  if (!entry) return;
  std::vector<std::string_view> fields = SplitFields(*entry, "|");
  window_.InformationView().Navigate2(
      server_.InfoPage(Field(fields, 0) + "-" + Field(fields, 4) + "-" + Field(fields, 5) + "-" +
                       Field(fields, 1) + "-" + Field(fields, 4) + Field(fields, 5)));
  window_.ShowNowPlaying();
}

}  // namespace lumora
