// What a file manager drops: a text/uri-list, one URI a line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tramvek {

// The local files a text/uri-list names, in order: file: URIs whose host is
// empty, "localhost" or `hostName`, percent-decoded. Lines end in CR LF (or
// LF alone); lines starting with '#' are comments; other URIs are skipped, and
// so is one that decodes to a zero byte.
std::vector<std::string> localPathsOf(std::string_view uriList, std::string_view hostName);

}  // namespace tramvek
