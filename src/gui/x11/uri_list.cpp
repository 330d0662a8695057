#include "gui/x11/uri_list.h"

#include <optional>

namespace tramvek {
namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// %XX becomes its byte; a '%' not followed by two hex digits stays as it is.
std::optional<std::string> percentDecoded(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int high = text[i] == '%' && i + 2 < text.size() ? hexDigit(text[i + 1]) : -1;
        const int low = high >= 0 ? hexDigit(text[i + 2]) : -1;
        if (low >= 0) {
            out.push_back(static_cast<char>(high * 16 + low));
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    if (out.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    return out;
}

bool startsWithFileScheme(std::string_view uri) {
    constexpr std::string_view kScheme = "file:";
    if (uri.size() < kScheme.size()) {
        return false;
    }
    for (std::size_t i = 0; i < kScheme.size(); ++i) {
        if (static_cast<char>(uri[i] | 0x20) != kScheme[i]) {  // letters in either case; ':' as it is
            return false;
        }
    }
    return true;
}

// The path of one file: URI on this machine, still encoded.
std::optional<std::string_view> localPart(std::string_view uri, std::string_view hostName) {
    if (!startsWithFileScheme(uri)) {
        return std::nullopt;
    }
    std::string_view rest = uri.substr(5);
    if (rest.substr(0, 2) != "//") {
        return rest.substr(0, 1) == "/" ? std::optional(rest) : std::nullopt;  // file:/path
    }
    rest.remove_prefix(2);
    const std::size_t slash = rest.find('/');
    if (slash == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view host = rest.substr(0, slash);
    if (!host.empty() && host != "localhost" && host != hostName) {
        return std::nullopt;
    }
    return rest.substr(slash);
}

}  // namespace

std::vector<std::string> localPathsOf(std::string_view uriList, std::string_view hostName) {
    std::vector<std::string> paths;
    while (!uriList.empty()) {
        const std::size_t end = uriList.find('\n');
        std::string_view line = uriList.substr(0, end);
        uriList.remove_prefix(end == std::string_view::npos ? uriList.size() : end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (const auto encoded = localPart(line, hostName)) {
            if (auto path = percentDecoded(*encoded)) {
                paths.push_back(std::move(*path));
            }
        }
    }
    return paths;
}

}  // namespace tramvek
