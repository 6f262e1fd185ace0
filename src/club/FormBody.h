// The two form-body styles of club POST requests.
#pragma once

#include <string>
#include <vector>

namespace braxo {

// One field of a plain-style body. Name and value are UTF-8.
struct FormField {
  std::string name;
  std::string value;
};

// The plain style: name "=" value, fields joined by "&" in the given order,
// converted to Windows-1251 (characters it lacks become "?"). Bytes are sent
// as they are, except that the four bytes "&", "=", "%" and "+" inside a value
// are written as "%26", "%3D", "%25" and "%2B": unescaped, a value could split
// into extra fields on the server (a city "x&R04=999" would set a balance).
std::string PlainFormBody(const std::vector<FormField>& fields);

// The list style: each line is "name=value" in UTF-8, split at its first "=".
// Name and value are encoded by the HTML form rule ("A"-"Z", "a"-"z", "0"-"9",
// "*", "-", ".", "_" kept, space as "+", every other byte as "%" and two
// upper-case hex digits), rejoined with "=", and the lines joined with "&".
// A line without "=" is encoded whole, with no "=".
std::string ListFormBody(const std::vector<std::string>& lines);

// The HTML form rule alone, over the bytes of `text`.
std::string FormEncode(const std::string& text);

}  // namespace braxo
