#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// An XML file written line by line, indented two spaces a level.
class XmlLines {
 public:
  void Add(int depth, std::string_view line) {
    text_.append(2 * depth, ' ').append(line).push_back('\n');
  }
  void AddRaw(std::string_view text) { text_.append(text); }

  // The file as Windows' own templates are written: CRLF line ends.
  std::string WindowsText() const {
    std::string out;
    for (char c : text_) {
      if (c == '\n') {
        out.push_back('\r');
      }
      out.push_back(c);
    }
    return out;
  }

 private:
  std::string text_;
};

// An attribute's value: `value` in double quotes.
inline std::string Quoted(std::string_view value) {
  return "\"" + std::string(value) + "\"";
}
inline std::string Quoted(int32_t value) {
  return Quoted(std::to_string(value));
}

// Element text. Attributes hold only names and numbers, which need no escapes.
inline std::string EscapedText(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '&') {
      out += "&amp;";
    } else if (c == '<') {
      out += "&lt;";
    } else if (c == '>') {
      out += "&gt;";
    } else {
      out.push_back(c);
    }
  }
  return out;
}
