#include "platform/text.h"

#include <iconv.h>

#include <cerrno>
#include <algorithm>
#include <cstring>
#include <vector>

namespace platform::text {
namespace {

// One iconv conversion. On an invalid or incomplete sequence the replacement is written and
// the input advances by `skip` bytes, so bad input degrades instead of truncating.
using SkipFn = size_t (*)(const char* at, size_t left);

size_t skip_byte(const char*, size_t) { return 1; }

// An unconvertible UTF-8 character is skipped whole; a stray byte alone.
size_t skip_utf8(const char* at, size_t left) {
  auto lead = static_cast<unsigned char>(at[0]);
  size_t n = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  for (size_t i = 1; i < n; ++i)
    if (i >= left || (static_cast<unsigned char>(at[i]) & 0xC0) != 0x80) return 1;
  return n;
}

// A surrogate pair is skipped whole.
size_t skip_utf16(const char* at, size_t left) {
  if (left >= 4) {
    auto hi = static_cast<unsigned char>(at[1]);
    if (hi >= 0xD8 && hi <= 0xDB) return 4;
  }
  return 2;
}

// Opening a converter costs far more than converting a short text, and texts are converted on
// every paint, so each thread keeps its converters.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    return cd_;
  }

 private:
  iconv_t cd_;
};

// CP936 is GBK plus the single-byte euro sign at 0x80, as the Windows code page has it.
constexpr const char* kGbk = "CP936";

enum class Direction { GbkToUtf8, Utf8ToGbk, GbkToUtf16, Utf16ToGbk };

Converter& converter(Direction d) {
  thread_local Converter gbk_utf8("UTF-8", kGbk);
  thread_local Converter utf8_gbk(kGbk, "UTF-8");
  thread_local Converter gbk_utf16("UTF-16LE", kGbk);
  thread_local Converter utf16_gbk(kGbk, "UTF-16LE");
  switch (d) {
    case Direction::GbkToUtf8: return gbk_utf8;
    case Direction::Utf8ToGbk: return utf8_gbk;
    case Direction::GbkToUtf16: return gbk_utf16;
    case Direction::Utf16ToGbk: break;
  }
  return utf16_gbk;
}

std::string convert(Direction d, std::string_view in, std::string_view replacement, SkipFn skip) {
  Converter& conv = converter(d);
  if (!conv.ok()) return {};
  iconv_t cd = conv.get();
  std::string out;
  out.reserve(in.size() * 2 + 8);
  std::vector<char> buf(4096);
  char* src = const_cast<char*>(in.data());
  size_t src_left = in.size();
  while (src_left > 0) {
    char* dst = buf.data();
    size_t dst_left = buf.size();
    size_t rc = iconv(cd, &src, &src_left, &dst, &dst_left);
    out.append(buf.data(), buf.size() - dst_left);
    if (rc == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL: replace the offending unit and go on.
      out.append(replacement);
      size_t step = std::min(skip(src, src_left), src_left);
      src += step;
      src_left -= step;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  return out;
}

std::string u16_bytes(std::u16string_view s) {
  return std::string(reinterpret_cast<const char*>(s.data()), s.size() * 2);
}

std::u16string from_u16_bytes(const std::string& b) {
  std::u16string out(b.size() / 2, u'\0');
  std::memcpy(out.data(), b.data(), out.size() * 2);
  return out;
}

}  // namespace

std::string gbk_to_utf8(std::string_view gbk) {
  return convert(Direction::GbkToUtf8, gbk, "\xEF\xBF\xBD", skip_byte);
}

std::string utf8_to_gbk(std::string_view utf8) {
  return convert(Direction::Utf8ToGbk, utf8, "?", skip_utf8);
}

std::u16string gbk_to_utf16(std::string_view gbk) {
  return from_u16_bytes(convert(Direction::GbkToUtf16, gbk, u16_bytes(u"\xFFFD"), skip_byte));
}

std::string utf16_to_gbk(std::u16string_view utf16) {
  return convert(Direction::Utf16ToGbk, u16_bytes(utf16), "?", skip_utf16);
}

bool is_valid_gbk(std::string_view gbk) {
  Converter& conv = converter(Direction::GbkToUtf8);
  if (!conv.ok()) return false;
  iconv_t cd = conv.get();
  std::vector<char> buf(gbk.size() * 4 + 8);
  char* src = const_cast<char*>(gbk.data());
  size_t src_left = gbk.size();
  char* dst = buf.data();
  size_t dst_left = buf.size();
  size_t rc = iconv(cd, &src, &src_left, &dst, &dst_left);
  return rc != static_cast<size_t>(-1) && src_left == 0;
}

}  // namespace platform::text
