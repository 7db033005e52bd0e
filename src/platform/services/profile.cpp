// Profile (INI) files: "[Section]" lines followed by "key=value" lines, read and changed one
// key at a time. Writes keep every other line of the file as it was.
#include "platform/services.h"
#include "platform/text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace platform::services {

namespace {

struct Line {
  std::string_view body;  // without its line break
  std::string_view end;   // "\r\n", "\n" or "" for the last line
};

std::vector<Line> split_lines(std::string_view content) {
  std::vector<Line> lines;
  while (!content.empty()) {
    std::size_t newline = content.find('\n');
    if (newline == std::string_view::npos) {
      lines.push_back({content, {}});
      break;
    }
    std::size_t body_end = (newline > 0 && content[newline - 1] == '\r') ? newline - 1 : newline;
    lines.push_back({content.substr(0, body_end), content.substr(body_end, newline + 1 - body_end)});
    content.remove_prefix(newline + 1);
  }
  return lines;
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// ASCII letters match without regard to case; a GBK double-byte character matches only itself
// (its trail byte may look like an ASCII letter).
bool names_equal(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto byte = static_cast<unsigned char>(a[i]);
    if (byte >= 0x81 && byte <= 0xFE && i + 1 < a.size()) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
    } else if (ascii_lower(a[i]) != ascii_lower(b[i])) {
      return false;
    }
  }
  return true;
}

// The section name of a "[name]" line.
std::optional<std::string_view> section_name(std::string_view line) {
  line = trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  std::size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return trim(line.substr(1, close - 1));
}

struct KeyLine {
  std::string_view key;
  std::string_view value;
};

std::optional<KeyLine> key_line(std::string_view line) {
  std::size_t equals = line.find('=');
  if (equals == std::string_view::npos || section_name(line)) return std::nullopt;
  return KeyLine{trim(line.substr(0, equals)), trim(line.substr(equals + 1))};
}

std::string_view unquoted(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// Where a section's lines are: [header, end) in the line list.
struct SectionSpan {
  std::size_t header = 0;
  std::size_t end = 0;
};

std::optional<SectionSpan> find_section(const std::vector<Line>& lines, std::string_view name) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    auto found = section_name(lines[i].body);
    if (!found || !names_equal(*found, name)) continue;
    std::size_t end = i + 1;
    while (end < lines.size() && !section_name(lines[end].body)) ++end;
    return SectionSpan{i, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> find_key(const std::vector<Line>& lines, SectionSpan span,
                                    std::string_view key) {
  for (std::size_t i = span.header + 1; i < span.end; ++i) {
    auto entry = key_line(lines[i].body);
    if (entry && names_equal(entry->key, key)) return i;
  }
  return std::nullopt;
}

bool has_line_break(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

std::string_view line_break_of(std::string_view content) {
  std::size_t newline = content.find('\n');
  if (newline != std::string_view::npos && (newline == 0 || content[newline - 1] != '\r')) return "\n";
  return "\r\n";
}

std::string joined(const std::vector<Line>& lines, std::size_t from, std::size_t to) {
  std::string out;
  for (std::size_t i = from; i < to; ++i) {
    out.append(lines[i].body);
    out.append(lines[i].end);
  }
  return out;
}

// The file's new content with key=value set.
std::string with_value(std::string_view content, std::string_view section, std::string_view key,
                       std::string_view value) {
  const std::vector<Line> lines = split_lines(content);
  const std::string eol(line_break_of(content));
  const std::string entry = std::string(key) + "=" + std::string(value);
  auto span = find_section(lines, section);
  if (!span) {
    std::string out(content);
    if (!out.empty() && out.back() != '\n') out += eol;
    return out + "[" + std::string(section) + "]" + eol + entry + eol;
  }
  if (auto at = find_key(lines, *span, key)) {
    std::string kept_key(key_line(lines[*at].body)->key);
    std::string end(lines[*at].end);
    return joined(lines, 0, *at) + kept_key + "=" + std::string(value) + end +
           joined(lines, *at + 1, lines.size());
  }
  // After the section's last non-blank line, so blank lines before the next section stay there.
  std::size_t insert_at = span->end;
  while (insert_at > span->header + 1 && trim(lines[insert_at - 1].body).empty()) --insert_at;
  std::string before = joined(lines, 0, insert_at);
  if (!before.empty() && before.back() != '\n') before += eol;
  return before + entry + eol + joined(lines, insert_at, lines.size());
}

// Replaces an existing file through a temporary sibling, so a failed write loses nothing.
bool replace_atomically(const std::string& path, std::string_view content, mode_t mode) {
  std::string temporary = path + ".XXXXXX";
  int fd = ::mkstemp(temporary.data());
  if (fd < 0) return false;
  bool ok = ::fchmod(fd, mode) == 0;
  for (std::string_view rest = content; ok && !rest.empty();) {
    ssize_t written = ::write(fd, rest.data(), rest.size());
    ok = written > 0;
    if (ok) rest.remove_prefix(static_cast<std::size_t>(written));
  }
  ok = (::fsync(fd) == 0) && ok;
  ok = (::close(fd) == 0) && ok;
  ok = ok && ::rename(temporary.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temporary.c_str());
  return ok;
}

}  // namespace

std::string read_profile_string(std::string_view section, std::string_view key,
                                std::string_view default_value, std::string_view gbk_path,
                                std::size_t buffer_size) {
  std::string_view found = default_value;
  const std::optional<std::string> content = read_file(gbk_path);
  std::vector<Line> lines;
  if (content) lines = split_lines(*content);
  if (auto span = find_section(lines, section)) {
    if (auto at = find_key(lines, *span, key)) found = unquoted(key_line(lines[*at].body)->value);
  }
  if (buffer_size == 0) return {};
  return std::string(found.substr(0, buffer_size - 1));
}

bool write_profile_string(std::string_view section, std::string_view key, std::string_view value,
                          std::string_view gbk_path, FileAccess access) {
  if (trim(section).empty() || trim(key).empty() || has_line_break(section) ||
      has_line_break(key) || has_line_break(value) || key.find('=') != std::string_view::npos) {
    return false;
  }
  const std::string path = native_path(gbk_path);
  struct stat info {};
  if (path.empty() || ::stat(path.c_str(), &info) != 0) {
    return write_file(gbk_path, with_value({}, trim(section), trim(key), value), access);
  }
  const std::optional<std::string> content = read_file(gbk_path);
  if (!content) return false;
  mode_t mode = (access == FileAccess::owner_only) ? 0600 : (info.st_mode & 07777);
  return replace_atomically(path, with_value(*content, trim(section), trim(key), value), mode);
}

}  // namespace platform::services
