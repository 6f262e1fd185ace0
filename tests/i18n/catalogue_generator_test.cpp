// Runs the real catalogue generator on small message files in a temporary
// folder: a broken file must stop the build with a message naming the file,
// the line and the row, and must leave no generated files behind.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kEnglish =
    "name\ten\n"
    "MsgHello\tHello\n"
    "MsgMembers\tMembers: \n"
    "MsgBye\tBye\n";

class CatalogueGenerator : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("braxo_catalogue_gen_" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  void Write(const std::string& name, std::string_view content) {
    std::ofstream(dir_ / name, std::ios::binary) << content;
  }

  // Runs the generator on en.tsv (and ru.tsv when `with_russian`); returns its
  // exit status and keeps what it printed.
  int Run(bool with_russian = true) {
    std::string command = std::string("\"") + BRAXO_CATALOGUE_GEN + "\" --header \"" +
                          (dir_ / "MsgId.h").string() + "\" --source \"" +
                          (dir_ / "MessageTable.cpp").string() + "\" en=\"" +
                          (dir_ / "en.tsv").string() + "\"";
    if (with_russian) command += " ru=\"" + (dir_ / "ru.tsv").string() + "\"";
    command += " 2>\"" + (dir_ / "errors.txt").string() + "\"";
    const int status = std::system(command.c_str());
    std::ifstream in(dir_ / "errors.txt");
    errors_.assign(std::istreambuf_iterator<char>(in), {});
    return status;
  }

  bool Generated() const {
    return fs::exists(dir_ / "MsgId.h") || fs::exists(dir_ / "MessageTable.cpp");
  }

  fs::path dir_;
  std::string errors_;
};

TEST_F(CatalogueGenerator, CompleteFilesGenerateTheEnumInTheReferenceOrder) {
  Write("en.tsv", kEnglish);
  // Rows may come in any order in a translation; CRLF line ends and comments are fine.
  Write("ru.tsv",
        "# Russian\r\nname\tru\r\nMsgBye\tПока\r\n\r\nMsgHello\tПривет\r\nMsgMembers\tУчастники: "
        "\r\n");
  ASSERT_EQ(Run(), 0) << errors_;

  std::ifstream header_file(dir_ / "MsgId.h");
  const std::string header(std::istreambuf_iterator<char>(header_file), {});
  EXPECT_NE(header.find("kLanguageCount = 2;"), std::string::npos) << header;
  const size_t hello = header.find("MsgHello,");
  const size_t members = header.find("MsgMembers,");
  const size_t bye = header.find("MsgBye,");
  ASSERT_NE(hello, std::string::npos) << header;
  EXPECT_LT(hello, members);
  EXPECT_LT(members, bye);

  std::ifstream source_file(dir_ / "MessageTable.cpp");
  const std::string source(std::istreambuf_iterator<char>(source_file), {});
  // "Пока" as octal escapes; the cells of a row follow each other.
  const size_t english_bye = source.find("\"Bye\"");
  const size_t russian_bye = source.find("\"\\320\\237\\320\\276\\320\\272\\320\\260\"");
  ASSERT_NE(english_bye, std::string::npos) << source;
  ASSERT_NE(russian_bye, std::string::npos) << source;
  EXPECT_LT(english_bye, russian_bye);
  EXPECT_NE(source.find("\"Members: \""), std::string::npos);
}

struct BrokenCase {
  const char* what;
  std::string russian;                // content of ru.tsv ("" = no file)
  std::vector<std::string> expected;  // substrings of the error output
};

TEST_F(CatalogueGenerator, BrokenTranslationStopsTheBuildAndSaysWhere) {
  const std::string ok_rows = "MsgHello\tПривет\nMsgMembers\tУчастники: \nMsgBye\tПока\n";
  const BrokenCase cases[] = {
      {"missing row",
       "name\tru\nMsgHello\tПривет\nMsgMembers\tУчастники: \n",
       {"ru.tsv: error: row MsgBye is missing"}},
      {"unknown row",
       "name\tru\n" + ok_rows + "MsgHelo\tОпечатка\n",
       {"ru.tsv:5: error: unknown row MsgHelo"}},
      {"empty cell",
       "name\tru\nMsgHello\t\nMsgMembers\tУчастники: \nMsgBye\tПока\n",
       {"ru.tsv:2: error: row MsgHello: the text is empty"}},
      {"blank cell",
       "name\tru\nMsgHello\t   \nMsgMembers\tУчастники: \nMsgBye\tПока\n",
       {"ru.tsv:2: error: row MsgHello: the text is empty"}},
      {"row without a tab",
       "name\tru\nMsgHello Привет\nMsgMembers\tУчастники: \nMsgBye\tПока\n",
       {"ru.tsv:2: error: no TAB"}},
      {"second tab",
       "name\tru\nMsgHello\tПри\tвет\nMsgMembers\tУчастники: \nMsgBye\tПока\n",
       {"ru.tsv:2: error: row MsgHello: the text holds a second TAB"}},
      {"repeated row",
       "name\tru\n" + ok_rows + "MsgBye\tДо свидания\n",
       {"ru.tsv:5: error: row MsgBye appears twice (first on line 4)"}},
      {"header of another language", "name\tde\n" + ok_rows, {"ru.tsv:1: error: the first line"}},
      {"no header", ok_rows, {"ru.tsv:1: error: the first line"}},
      {"empty file", "", {"ru.tsv: error: the file is empty"}},
      {"trimmed trailing space",
       "name\tru\nMsgHello\tПривет\nMsgMembers\tУчастники:\nMsgBye\tПока\n",
       {"ru.tsv:3: error: row MsgMembers: leading/trailing spaces differ"}},
      {"not UTF-8",
       "name\tru\nMsgHello\t\xcf\xf0\xe8\xe2\xe5\xf2\nMsgMembers\tУчастники: \nMsgBye\tПока\n",
       {"ru.tsv:2: error: the line is not valid UTF-8"}},
      {"overlong UTF-8",
       "name\tru\nMsgHello\t\xc0\xaf\nMsgMembers\tУчастники: \nMsgBye\tПока\n",
       {"ru.tsv:2: error: the line is not valid UTF-8"}},
      {"bad row name",
       "name\tru\n" + ok_rows + "msg-extra\tЛишнее\n",
       {"ru.tsv:5: error: \"msg-extra\" is not a row name"}},
      {"control character",
       "name\tru\nMsgHello\tПри\x01вет\nMsgMembers\tУчастники: \nMsgBye\tПока\n",
       {"ru.tsv:2: error: row MsgHello: the text holds a control character"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove(dir_ / "MsgId.h");
    fs::remove(dir_ / "MessageTable.cpp");
    Write("en.tsv", kEnglish);
    Write("ru.tsv", c.russian);
    EXPECT_NE(Run(), 0);
    for (const auto& expected : c.expected) {
      EXPECT_NE(errors_.find(expected), std::string::npos) << errors_;
    }
    EXPECT_FALSE(Generated()) << "a broken catalogue must not be written";
  }
}

TEST_F(CatalogueGenerator, MissingFileIsReported) {
  Write("en.tsv", kEnglish);
  EXPECT_NE(Run(), 0);
  EXPECT_NE(errors_.find("ru.tsv: error: cannot open"), std::string::npos) << errors_;
  EXPECT_FALSE(Generated());
}

TEST_F(CatalogueGenerator, ReferenceLanguageAloneIsChecked) {
  Write("en.tsv", "name\ten\nMsgHello\tHello\nMsgHello\tAgain\n");
  EXPECT_NE(Run(false), 0);
  EXPECT_NE(errors_.find("en.tsv:3: error: row MsgHello appears twice"), std::string::npos)
      << errors_;
  EXPECT_FALSE(Generated());
}

}  // namespace
