#include "storage/TextFile.h"

#include <fcntl.h>
#include <iconv.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>

namespace braxo {
namespace {

// Converts with iconv; unconvertible input is replaced by `replacement`.
std::string Convert(std::string_view input, const char* to, const char* from,
                    std::string_view replacement) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(input);
  std::string out;
  out.reserve(input.size() * 2);
  char* in_ptr = const_cast<char*>(input.data());
  size_t in_left = input.size();
  char buffer[256];
  while (in_left > 0) {
    char* out_ptr = buffer;
    size_t out_left = sizeof buffer;
    size_t rc = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
    out.append(buffer, out_ptr);
    if (rc == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL: skip one input character and put the replacement.
      out.append(replacement);
      size_t skip = 1;
      if (std::string_view(from) == "UTF-8") {
        // Skip the whole (possibly broken) UTF-8 sequence.
        while (skip < in_left && (static_cast<unsigned char>(in_ptr[skip]) & 0xC0) == 0x80) ++skip;
      }
      in_ptr += skip;
      in_left -= skip;
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::optional<std::vector<std::string>> ReadLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < data.size()) {
    size_t end = data.find('\n', start);
    if (end == std::string::npos) end = data.size();
    size_t line_end = end;
    if (line_end > start && data[line_end - 1] == '\r') --line_end;
    lines.emplace_back(data, start, line_end - start);
    start = end + 1;
  }
  return lines;
}

bool WriteLinesAtomic(const std::string& path, const std::vector<std::string>& lines) {
  std::string data;
  for (const std::string& line : lines) {
    data += line;
    data += "\r\n";
  }
  std::random_device rd;
  std::string temp = path + ".tmp" + std::to_string(rd() % 1000000);
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const char* p = data.data();
  size_t left = data.size();
  bool ok = true;
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  if (ok && ::fsync(fd) != 0) ok = false;
  if (::close(fd) != 0) ok = false;
  if (ok && std::rename(temp.c_str(), path.c_str()) != 0) ok = false;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

std::string Utf8ToCp1251(std::string_view utf8) { return Convert(utf8, "CP1251", "UTF-8", "?"); }

std::string Cp1251ToUtf8(std::string_view cp1251) {
  return Convert(cp1251, "UTF-8", "CP1251", "?");
}

}  // namespace braxo
