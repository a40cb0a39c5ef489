#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace lumora {

// How request addresses map onto the demo site directory. Nothing here touches the disk.

// The file, relative to the site directory, that a percent-encoded request path names: "/" is the
// site's home "index.html", everything under "/box/" lies in "box/", and a path ending in "/"
// names that directory's "index.html". Nothing for any other path, nor for a segment that is
// empty, "." or "..", badly encoded, or that decodes to "/", "\" or NUL.
std::optional<std::filesystem::path> SiteFileForUrlPath(std::string_view encodedPath);

// The Content-Type a site file is served with.
std::string ContentTypeFor(const std::filesystem::path& file);

// Text files are stored UTF-8 and sent GBK, as the client reads them.
bool IsServedAsGbk(const std::filesystem::path& file);

// The address of the tree under "/box/" for the site's address "http://HOST:PORT/".
std::string TreeUrl(std::string_view siteUrl);

// Text files name the server's own addresses with placeholders, so that the site works on any
// port: "{SITE}" stands for siteUrl ("http://127.0.0.1:PORT/") and "{BASE}" for the tree below it
// ("http://127.0.0.1:PORT/box/").
std::string FillAddressPlaceholders(std::string_view text, std::string_view siteUrl);

// The value of the first name=value pair of a query exactly as received, percent-encoding and
// "+" left alone; "" for a bare name; nothing when the name is absent.
std::optional<std::string> RawQueryValue(std::string_view query, std::string_view name);

}  // namespace lumora
