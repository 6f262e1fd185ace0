#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "club/FormBody.h"

namespace braxo {
namespace {

// How a server splits and decodes an application/x-www-form-urlencoded body.
std::vector<std::pair<std::string, std::string>> ServerDecode(const std::string& body) {
  const auto decode = [](const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '+') {
        out += ' ';
      } else if (text[i] == '%' && i + 2 < text.size()) {
        out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
        i += 2;
      } else {
        out += text[i];
      }
    }
    return out;
  };
  std::vector<std::pair<std::string, std::string>> fields;
  size_t start = 0;
  while (start <= body.size()) {
    size_t end = body.find('&', start);
    if (end == std::string::npos) end = body.size();
    const std::string pair = body.substr(start, end - start);
    const size_t eq = pair.find('=');
    fields.emplace_back(decode(pair.substr(0, eq)),
                        eq == std::string::npos ? "" : decode(pair.substr(eq + 1)));
    start = end + 1;
  }
  return fields;
}

struct PlainCase {
  std::vector<FormField> fields;
  std::string body;
};

TEST(PlainFormBodyTest, WritesWindows1251BytesInOrder) {
  const std::vector<PlainCase> cases = {
      {{{"gid", "76"}, {"stat1", "1"}, {"stat2", "0"}}, "gid=76&stat1=1&stat2=0"},
      {{{"nick", "Вася"}, {"city", "Москва"}},
       "nick=\xC2\xE0\xF1\xFF&city=\xCC\xEE\xF1\xEA\xE2\xE0"},
      // Spaces, "#", "$" and "*" go out unchanged.
      {{{"R10", "# *"}, {"about", "a b$c"}}, "R10=# *&about=a b$c"},
      // Characters outside the code page become "?".
      {{{"nick", "中文"}, {"x", "Ё€"}}, "nick=??&x=\xA8\x88"},
      {{}, ""},
      {{{"empty", ""}}, "empty="},
  };
  for (const PlainCase& c : cases) EXPECT_EQ(PlainFormBody(c.fields), c.body);
}

TEST(PlainFormBodyTest, ValuesCannotInjectFields) {
  const std::vector<PlainCase> cases = {
      {{{"city", "x&R04=999"}}, "city=x%26R04%3D999"},
      {{{"about", "1+1=2"}}, "about=1%2B1%3D2"},
      {{{"about", "100%"}}, "about=100%25"},
      {{{"pw", "%26"}}, "pw=%2526"},
  };
  for (const PlainCase& c : cases) {
    const std::string body = PlainFormBody(c.fields);
    EXPECT_EQ(body, c.body);
    const auto decoded = ServerDecode(body);
    ASSERT_EQ(decoded.size(), c.fields.size()) << body;
    for (size_t i = 0; i < decoded.size(); ++i) {
      EXPECT_EQ(decoded[i].first, c.fields[i].name);
      EXPECT_EQ(decoded[i].second, c.fields[i].value);
    }
  }
  // A whole create-account body keeps its fourteen fields whatever the city.
  std::vector<FormField> account = {{"nick", "n"}, {"pw", "p&R04=1"}, {"city", "x&R04=999"}};
  for (int i = 4; i <= 14; ++i)
    account.push_back({"f" + std::to_string(i), "v=" + std::to_string(i)});
  EXPECT_EQ(ServerDecode(PlainFormBody(account)).size(), 14u);
}

TEST(ListFormBodyTest, EncodesByTheHtmlFormRule) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"nick=Bob", "pw=secret", "label0=0"}, "nick=Bob&pw=secret&label0=0"},
      {{"nick=Вася Пупкин"}, "nick=%D0%92%D0%B0%D1%81%D1%8F+%D0%9F%D1%83%D0%BF%D0%BA%D0%B8%D0%BD"},
      {{"safe=AZaz09*-._"}, "safe=AZaz09*-._"},
      {{"other=~!'()/:@#$&+,;?"}, "other=%7E%21%27%28%29%2F%3A%40%23%24%26%2B%2C%3B%3F"},
      // Only the first "=" splits; later ones are data.
      {{"pw=a=b"}, "pw=a%3Db"},
      {{"my name=x y"}, "my+name=x+y"},
      {{"novalue"}, "novalue"},
      {{"empty="}, "empty="},
      {{"line=\r\n"}, "line=%0D%0A"},
      {{}, ""},
  };
  for (const auto& [lines, body] : cases) EXPECT_EQ(ListFormBody(lines), body);
}

}  // namespace
}  // namespace braxo
