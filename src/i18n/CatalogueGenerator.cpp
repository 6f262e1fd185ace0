// Build tool: turns the per-language message files (messages/<code>.tsv) into
// the constant message table compiled into the game.
//
//   braxo_catalogue_gen --header OUT.h --source OUT.cpp en=en.tsv ru=ru.tsv ...
//
// The first language is the reference: its file decides which rows exist and
// in which order, and the MsgId enum is generated from it, so the enum and the
// table cannot drift apart. Every other file must hold exactly the same rows.
// Any problem (missing row or cell, unknown or repeated row, bad UTF-8, wrong
// header) is reported as "file:line: error: ..." and nothing is written, which
// fails the build.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "i18n/Utf8.h"

namespace {

using braxo::IsValidUtf8;

struct Row {
  std::string name;
  std::string text;
  int line = 0;
};

struct LanguageFile {
  std::string code;
  std::string path;
  std::vector<Row> rows;
  // Rows present but refused (already reported), so not reported missing too.
  std::set<std::string> refused;
};

class Errors {
 public:
  void Add(const std::string& path, int line, const std::string& message) {
    std::ostringstream out;
    out << path;
    if (line > 0) out << ':' << line;
    out << ": error: " << message;
    messages_.push_back(out.str());
  }
  bool Empty() const { return messages_.empty(); }
  void Print() const {
    for (const auto& message : messages_) std::cerr << message << '\n';
    std::cerr << "braxo_catalogue_gen: the message catalogue was not generated ("
              << messages_.size() << " error(s)).\n";
  }

 private:
  std::vector<std::string> messages_;
};

bool IsRowName(std::string_view name) {
  if (name.size() < 4 || name.substr(0, 3) != "Msg") return false;
  if (name[3] < 'A' || name[3] > 'Z') return false;
  return std::all_of(name.begin(), name.end(), [](char ch) {
    return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9');
  });
}

bool HasControlCharacter(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char ch) {
    const auto c = static_cast<unsigned char>(ch);
    return c < 0x20 || c == 0x7F;
  });
}

std::string_view LeadingSpaces(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  return first == std::string_view::npos ? text : text.substr(0, first);
}

std::string_view TrailingSpaces(std::string_view text) {
  const size_t last = text.find_last_not_of(' ');
  return last == std::string_view::npos ? text : text.substr(last + 1);
}

// Reads one language file. Format: a header line "name<TAB><code>", then one
// line per message "<RowName><TAB><text>"; empty lines and lines starting with
// '#' are ignored. The text runs to the end of the line (a CR before the LF is
// dropped); spaces in it, leading and trailing ones included, are kept.
std::optional<LanguageFile> ReadLanguageFile(const std::string& code, const std::string& path,
                                             Errors& errors) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    errors.Add(path, 0, "cannot open the message file of language \"" + code + "\"");
    return std::nullopt;
  }
  LanguageFile file{code, path, {}, {}};
  std::map<std::string, int> seen;
  std::string line;
  int number = 0;
  bool header_seen = false;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
    if (!IsValidUtf8(line)) {
      errors.Add(path, number, "the line is not valid UTF-8; save the file as UTF-8");
      continue;
    }
    if (line.empty() || line[0] == '#') continue;
    const size_t tab = line.find('\t');
    if (!header_seen) {
      header_seen = true;
      const std::string expected = "name\t" + code;
      if (line != expected) {
        errors.Add(path, number,
                   "the first line must be the header \"name<TAB>" + code +
                       "\" naming this file's language");
      }
      continue;
    }
    if (tab == std::string::npos) {
      errors.Add(path, number, "no TAB after the row name: expected \"<RowName><TAB><text>\"");
      continue;
    }
    const std::string name = line.substr(0, tab);
    const std::string text = line.substr(tab + 1);
    if (!IsRowName(name)) {
      errors.Add(path, number,
                 "\"" + name + "\" is not a row name (Msg followed by letters and digits)");
      continue;
    }
    if (text.find('\t') != std::string::npos) {
      errors.Add(path, number, "row " + name + ": the text holds a second TAB");
      file.refused.insert(name);
      continue;
    }
    if (text.find_first_not_of(' ') == std::string::npos) {
      errors.Add(path, number, "row " + name + ": the text is empty");
      file.refused.insert(name);
      continue;
    }
    if (HasControlCharacter(text)) {
      errors.Add(path, number, "row " + name + ": the text holds a control character");
      file.refused.insert(name);
      continue;
    }
    if (const auto it = seen.find(name); it != seen.end()) {
      errors.Add(
          path, number,
          "row " + name + " appears twice (first on line " + std::to_string(it->second) + ")");
      continue;
    }
    seen.emplace(name, number);
    file.rows.push_back({name, text, number});
  }
  if (!header_seen) {
    errors.Add(path, 0, "the file is empty: it needs the header \"name<TAB>" + code + "\"");
  }
  return file;
}

// Checks a translation against the reference language and returns its texts in
// the reference's row order.
std::vector<std::string> MatchRows(const LanguageFile& reference, const LanguageFile& file,
                                   Errors& errors) {
  std::map<std::string, const Row*> by_name;
  for (const auto& row : file.rows) by_name.emplace(row.name, &row);
  std::map<std::string, const Row*> reference_by_name;
  for (const auto& row : reference.rows) reference_by_name.emplace(row.name, &row);

  for (const auto& row : file.rows) {
    if (!reference_by_name.contains(row.name)) {
      errors.Add(file.path, row.line,
                 "unknown row " + row.name + ": it is not in " + reference.path +
                     " (rows are added there first)");
    }
  }
  std::vector<std::string> texts;
  for (const auto& ref : reference.rows) {
    const auto it = by_name.find(ref.name);
    if (it == by_name.end()) {
      if (file.refused.contains(ref.name)) {
        texts.emplace_back();
        continue;
      }
      errors.Add(file.path, 0, "row " + ref.name + " is missing (language \"" + file.code + "\")");
      texts.emplace_back();
      continue;
    }
    const Row& row = *it->second;
    // A text that the program joins to a value keeps its edge spaces in every
    // language; an editor that trims lines would otherwise glue them together.
    if (LeadingSpaces(row.text) != LeadingSpaces(ref.text) ||
        TrailingSpaces(row.text) != TrailingSpaces(ref.text)) {
      errors.Add(file.path, row.line,
                 "row " + row.name + ": leading/trailing spaces differ from " + reference.path +
                     " (" + std::to_string(LeadingSpaces(ref.text).size()) + " leading, " +
                     std::to_string(TrailingSpaces(ref.text).size()) + " trailing expected)");
    }
    texts.push_back(row.text);
  }
  return texts;
}

// A C++ string literal that means the same bytes whatever the compiler's source
// and execution character sets: non-ASCII bytes become three-digit octal
// escapes, which cannot swallow the following character the way \x can.
std::string Literal(std::string_view bytes) {
  std::string out = "\"";
  for (char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    if (ch == '"' || ch == '\\' || ch == '?') {
      out += '\\';
      out += ch;
    } else if (c >= 0x20 && c < 0x7F) {
      out += ch;
    } else {
      char buffer[5];
      std::snprintf(buffer, sizeof buffer, "\\%03o", c);
      out += buffer;
    }
  }
  out += '"';
  return out;
}

bool WriteFileAtomically(const std::string& path, const std::string& content, Errors& errors) {
  const std::string temporary = path + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << content;
    out.flush();
    if (!out) {
      errors.Add(temporary, 0, "cannot write");
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(temporary, path, ec);
  if (ec) {
    errors.Add(path, 0, "cannot replace: " + ec.message());
    std::filesystem::remove(temporary, ec);
    return false;
  }
  return true;
}

std::string MakeHeader(const std::vector<LanguageFile>& languages) {
  std::ostringstream h;
  h << "// Generated by braxo_catalogue_gen from src/i18n/messages/*.tsv. Do not edit:\n"
       "// change the message files instead.\n"
       "#pragma once\n\n"
       "#include <array>\n#include <string_view>\n\n"
       "namespace braxo {\n\n"
       "// Interface languages, in column order (the LanguageIndex order).\n"
       "inline constexpr int kLanguageCount = "
    << languages.size()
    << ";\n"
       "inline constexpr std::array<std::string_view, kLanguageCount> kCatalogueLanguageCodes = {";
  for (size_t i = 0; i < languages.size(); ++i) {
    h << (i ? ", " : "") << Literal(languages[i].code);
  }
  h << "};\n\n// One enumerator per catalogue row, in the rows' order.\n"
       "enum class MsgId : int {\n";
  for (const auto& row : languages.front().rows) h << "  " << row.name << ",\n";
  h << "  kCount\n};\n\n"
       "inline constexpr int kMessageCount = static_cast<int>(MsgId::kCount);\n\n"
       "}  // namespace braxo\n";
  return h.str();
}

std::string MakeSource(const std::vector<LanguageFile>& languages,
                       const std::vector<std::vector<std::string>>& columns) {
  const auto& reference = languages.front().rows;
  std::ostringstream s;
  s << "// Generated by braxo_catalogue_gen from src/i18n/messages/*.tsv. Do not edit.\n"
       "#include \"i18n/MessageTable.h\"\n\n"
       "namespace braxo::internal {\n\n"
       "const std::array<std::string_view, kMessageCount> kMessageNames = {\n";
  for (const auto& row : reference) s << "    " << Literal(row.name) << ",\n";
  s << "};\n\n"
       "// Row-major: the cells of one row, in language order, follow each other.\n"
       "const std::array<std::string_view, kMessageCount * kLanguageCount> kMessageCells = {\n";
  for (size_t r = 0; r < reference.size(); ++r) {
    s << "    // " << reference[r].name << "\n";
    for (size_t l = 0; l < languages.size(); ++l) {
      s << "    " << Literal(columns[l][r]) << ",\n";
    }
  }
  s << "};\n\n}  // namespace braxo::internal\n";
  return s.str();
}

int Usage() {
  std::cerr << "usage: braxo_catalogue_gen --header OUT.h --source OUT.cpp CODE=FILE.tsv...\n"
               "The first CODE=FILE is the reference language.\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string header_path;
  std::string source_path;
  std::vector<std::pair<std::string, std::string>> inputs;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--header" && i + 1 < argc) {
      header_path = argv[++i];
    } else if (arg == "--source" && i + 1 < argc) {
      source_path = argv[++i];
    } else if (const size_t eq = arg.find('='); eq != std::string::npos && eq > 0) {
      inputs.emplace_back(arg.substr(0, eq), arg.substr(eq + 1));
    } else {
      return Usage();
    }
  }
  if (header_path.empty() || source_path.empty() || inputs.empty()) return Usage();

  Errors errors;
  std::vector<LanguageFile> languages;
  for (const auto& [code, path] : inputs) {
    if (auto file = ReadLanguageFile(code, path, errors)) languages.push_back(std::move(*file));
  }
  // Without the reference nothing can be matched; otherwise every file is
  // checked so that one build run reports every problem.
  if (languages.empty() || languages.front().code != inputs.front().first) {
    errors.Print();
    return 1;
  }
  if (languages.front().rows.empty()) {
    errors.Add(languages.front().path, 0, "the reference language has no rows");
    errors.Print();
    return 1;
  }

  std::vector<std::vector<std::string>> columns;
  columns.reserve(languages.size());
  for (const auto& language : languages) {
    columns.push_back(MatchRows(languages.front(), language, errors));
  }
  if (!errors.Empty() || languages.size() != inputs.size()) {
    errors.Print();
    return 1;
  }

  if (!WriteFileAtomically(header_path, MakeHeader(languages), errors) ||
      !WriteFileAtomically(source_path, MakeSource(languages, columns), errors)) {
    errors.Print();
    return 1;
  }
  return 0;
}
