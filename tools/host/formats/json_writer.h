// A small streaming JSON writer: enough for the host's reports, with strings
// escaped so that any bytes a plug-in returns still give valid JSON.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace tramvek {

class JsonWriter {
  public:
    explicit JsonWriter(std::ostream& out) : out_(out) {}

    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    void key(std::string_view name);
    void value(std::string_view text);
    void value(const char* text) { value(std::string_view(text)); }
    void value(std::int64_t number);
    void value(double number);
    void value(bool flag);

  private:
    void separate();
    void close(char bracket);

    std::ostream& out_;
    // One entry per open container: whether it already holds an element.
    std::vector<bool> hasElement_;
    bool afterKey_ = false;
};

// The text as a quoted JSON string. Valid UTF-8 passes through; other bytes are
// read as Latin-1, which is what older plug-ins write.
std::string jsonQuoted(std::string_view text);

}  // namespace tramvek
