#pragma once

#include <string>
#include <string_view>

namespace tramvek::pictures {

// Decodes UTF-8; a malformed byte is taken as the Latin-1 character it codes.
std::u32string decodeUtf8(std::string_view text);

}  // namespace tramvek::pictures
