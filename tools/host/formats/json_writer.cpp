#include "formats/json_writer.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace tramvek {
namespace {

// Length of the UTF-8 sequence starting at i, or 0 if it is not valid.
std::size_t utf8SequenceLength(std::string_view text, std::size_t i) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char lead = byte(i);
    std::size_t length = lead < 0x80           ? 1
                         : (lead >> 5) == 0x6  ? 2
                         : (lead >> 4) == 0xE  ? 3
                         : (lead >> 3) == 0x1E ? 4
                                               : 0;
    if (length == 0 || i + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

bool isValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = utf8SequenceLength(text, i);
        if (length == 0) {
            return false;
        }
        i += length;
    }
    return true;
}

void appendEscape(std::string& out, unsigned code) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\u%04x", code);
    out += buffer;
}

}  // namespace

std::string jsonQuoted(std::string_view text) {
    bool utf8 = isValidUtf8(text);
    std::string out = "\"";
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte == 0x7F || (byte >= 0x80 && !utf8)) {
            appendEscape(out, byte);
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
}

void JsonWriter::separate() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!hasElement_.empty()) {
        if (hasElement_.back()) {
            out_ << ',';
        }
        hasElement_.back() = true;
        out_ << '\n' << std::string(hasElement_.size() * 2, ' ');
    }
}

void JsonWriter::close(char bracket) {
    bool hadElements = hasElement_.back();
    hasElement_.pop_back();
    if (hadElements) {
        out_ << '\n' << std::string(hasElement_.size() * 2, ' ');
    }
    out_ << bracket;
    if (hasElement_.empty()) {
        out_ << '\n';
    }
}

void JsonWriter::beginObject() {
    separate();
    out_ << '{';
    hasElement_.push_back(false);
}

void JsonWriter::endObject() {
    close('}');
}

void JsonWriter::beginArray() {
    separate();
    out_ << '[';
    hasElement_.push_back(false);
}

void JsonWriter::endArray() {
    close(']');
}

void JsonWriter::key(std::string_view name) {
    separate();
    out_ << jsonQuoted(name) << ": ";
    afterKey_ = true;
}

void JsonWriter::value(std::string_view text) {
    separate();
    out_ << jsonQuoted(text);
}

void JsonWriter::value(std::int64_t number) {
    separate();
    out_ << number;
}

void JsonWriter::value(double number) {
    separate();
    if (!std::isfinite(number)) {
        out_ << "null";
        return;
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.9g", number);
    out_ << buffer;
}

void JsonWriter::value(bool flag) {
    separate();
    out_ << (flag ? "true" : "false");
}

}  // namespace tramvek
