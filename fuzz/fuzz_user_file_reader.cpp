// The user-file reader on arbitrary bytes, and the writer on whatever the
// reader took: once written, the file reads back with the same nick and
// scrambled password, and a refused file is left as it was.

#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "ScratchFiles.h"
#include "storage/TextFile.h"
#include "storage/UserFile.h"

namespace {

using braxo::fuzz::ReadFile;
using braxo::fuzz::ScratchPath;
using braxo::fuzz::WriteFile;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = ScratchPath() + "KezUser.kez";
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  WriteFile(path, bytes);
  const std::optional<braxo::UserFileContent> content = braxo::ReadUserFile(path);
  if (!content) {
    if (ReadFile(path) != bytes) std::abort();
    return 0;
  }
  // The nick as the file would hold it: what the reader took, back in the
  // file's code page, with any line break made a space by the writer.
  if (!braxo::WriteUserFile(path, content->nick, content->scrambled_password)) std::abort();
  const std::optional<braxo::UserFileContent> again = braxo::ReadUserFile(path);
  if (!again) std::abort();
  if (again->scrambled_password.find('\n') != std::string::npos) std::abort();
  // Written once more, the file no longer changes.
  const std::string written = ReadFile(path);
  if (!braxo::WriteUserFile(path, again->nick, again->scrambled_password)) std::abort();
  if (ReadFile(path) != written) std::abort();
  return 0;
}
