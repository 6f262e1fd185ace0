#include "club/FormBody.h"

#include "storage/TextFile.h"

namespace braxo {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

void AppendPercentByte(std::string& out, unsigned char byte) {
  out += '%';
  out += kHexDigits[byte >> 4];
  out += kHexDigits[byte & 15];
}

bool IsFormSafe(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '*' ||
         c == '-' || c == '.' || c == '_';
}

}  // namespace

std::string PlainFormBody(const std::vector<FormField>& fields) {
  std::string body;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) body += '&';
    body += Utf8ToCp1251(fields[i].name);
    body += '=';
    // The four bytes are ASCII, so escaping after the conversion touches
    // nothing else of the Windows-1251 text.
    for (char c : Utf8ToCp1251(fields[i].value)) {
      if (c == '&' || c == '=' || c == '%' || c == '+') {
        AppendPercentByte(body, static_cast<unsigned char>(c));
      } else {
        body += c;
      }
    }
  }
  return body;
}

std::string FormEncode(const std::string& text) {
  std::string out;
  out.reserve(text.size() * 3);
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (IsFormSafe(c)) {
      out += ch;
    } else if (c == ' ') {
      out += '+';
    } else {
      AppendPercentByte(out, c);
    }
  }
  return out;
}

std::string ListFormBody(const std::vector<std::string>& lines) {
  std::string body;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) body += '&';
    const std::string& line = lines[i];
    const size_t eq = line.find('=');
    if (eq == std::string::npos) {
      body += FormEncode(line);
    } else {
      body += FormEncode(line.substr(0, eq));
      body += '=';
      body += FormEncode(line.substr(eq + 1));
    }
  }
  return body;
}

}  // namespace braxo
