// ListRows: packed row storage of the list view.
#include "dui/controls/list_view_rows.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <limits>

namespace dui {

namespace {

using Lock = std::lock_guard<std::mutex>;

constexpr std::size_t arena_limit = std::numeric_limits<std::uint32_t>::max();
// Garbage is collected once it is this large and outweighs the live texts.
constexpr std::size_t garbage_threshold = 1 << 20;

void put_length(std::string& out, std::size_t length) {
  while (length >= 0x80) {
    out.push_back(static_cast<char>((length & 0x7F) | 0x80));
    length >>= 7;
  }
  out.push_back(static_cast<char>(length));
}

std::size_t get_length(const char*& p, const char* end) {
  std::size_t length = 0;
  int shift = 0;
  while (p < end && shift < 64) {
    const auto byte = static_cast<unsigned char>(*p++);
    length |= std::size_t(byte & 0x7F) << shift;
    if ((byte & 0x80) == 0) break;
    shift += 7;
  }
  return length;
}

// Grows a container by half instead of doubling, so that a full list wastes less.
template <typename Container>
void reserve_for(Container& c, std::size_t needed) {
  if (needed > c.capacity()) c.reserve(std::max<std::size_t>(needed + needed / 2, 64));
}

bool is_lead_byte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b >= 0x81 && b <= 0xFE;
}

// `needle` at `at` of `haystack`: double-byte characters compare exactly, single bytes
// without regard to letter case.
bool matches_at(std::string_view haystack, std::size_t at, std::string_view needle) {
  if (haystack.size() - at < needle.size()) return false;
  for (std::size_t k = 0; k < needle.size();) {
    const char h = haystack[at + k];
    if (is_lead_byte(h) && k + 1 < needle.size()) {
      if (h != needle[k] || haystack[at + k + 1] != needle[k + 1]) return false;
      k += 2;
    } else {
      if (std::tolower(static_cast<unsigned char>(h)) != std::tolower(static_cast<unsigned char>(needle[k]))) {
        return false;
      }
      k += 1;
    }
  }
  return true;
}

// Searches at character starts only, so that a match never begins on the second byte of a
// Chinese character and a second byte is never case-folded into another character.
bool contains_ignoring_case(std::string_view haystack, std::string_view needle) {
  if (needle.empty()) return true;
  for (std::size_t at = 0; at + needle.size() <= haystack.size();) {
    if (matches_at(haystack, at, needle)) return true;
    at += (is_lead_byte(haystack[at]) && at + 1 < haystack.size()) ? 2 : 1;
  }
  return false;
}

}  // namespace

int ListRows::count() const {
  Lock lock(mutex_);
  return static_cast<int>(records_.size());
}

int ListRows::columns() const {
  Lock lock(mutex_);
  return columns_;
}

void ListRows::clear() {
  Lock lock(mutex_);
  std::vector<Record>().swap(records_);
  std::string().swap(arena_);
  garbage_ = 0;
}

bool ListRows::valid_cell(int row, int column) const {
  return row >= 0 && row < static_cast<int>(records_.size()) && column >= 0 && column < columns_;
}

ListRows::Cells& ListRows::unpack(const Record& record) const {
  Cells& cells = cells_;
  cells.texts.clear();
  const char* p = arena_.data() + record.offset;
  const char* end = p + record.size;
  for (int c = 0; c < columns_; ++c) {
    const std::size_t length = std::min<std::size_t>(get_length(p, end), std::size_t(end - p));
    cells.texts.emplace_back(p, length);
    p += length;
  }
  cells.icons.assign(columns_, -1);  // keeps its capacity
  if (record.has_icons != 0 && std::size_t(end - p) >= columns_ * sizeof(std::int32_t)) {
    for (int c = 0; c < columns_; ++c) std::memcpy(&cells.icons[c], p + c * sizeof(std::int32_t), sizeof(std::int32_t));
  }
  return cells;
}

bool ListRows::store(Record& record, const std::vector<std::string_view>& texts, const std::vector<int>& icons) {
  scratch_.clear();
  for (std::string_view text : texts) {
    put_length(scratch_, text.size());
    scratch_.append(text);
  }
  const bool has_icons = std::any_of(icons.begin(), icons.end(), [](int i) { return i != -1; });
  if (has_icons) {
    for (int icon : icons) scratch_.append(reinterpret_cast<const char*>(&icon), sizeof(icon));
  }
  const bool at_tail = record.size != 0 && std::size_t(record.offset) + record.size == arena_.size();
  if (scratch_.size() <= record.size) {
    // Fits where it was: overwrite in place.
    std::memcpy(arena_.data() + record.offset, scratch_.data(), scratch_.size());
    garbage_ += record.size - scratch_.size();
  } else if (at_tail) {
    // The last block (a row being filled) grows in place.
    if (record.offset + scratch_.size() > arena_limit) return false;
    arena_.resize(record.offset);
    reserve_for(arena_, arena_.size() + scratch_.size());
    arena_.append(scratch_);
  } else {
    if (arena_.size() + scratch_.size() > arena_limit) return false;
    garbage_ += record.size;
    record.offset = static_cast<std::uint32_t>(arena_.size());
    reserve_for(arena_, arena_.size() + scratch_.size());
    arena_.append(scratch_);
  }
  record.size = static_cast<std::uint32_t>(scratch_.size());
  record.has_icons = has_icons ? 1 : 0;
  return true;
}

bool ListRows::splice_at_tail(Record& record, int column, std::string_view text) {
  if (record.size == 0 || std::size_t(record.offset) + record.size != arena_.size()) return false;
  const char* base = arena_.data() + record.offset;
  const char* end = base + record.size;
  const char* p = base;
  for (int c = 0; c < column; ++c) p += std::min<std::size_t>(get_length(p, end), std::size_t(end - p));
  const char* cell = p;
  const std::size_t old_length = std::min<std::size_t>(get_length(p, end), std::size_t(end - p));
  const std::size_t old_bytes = std::size_t(p - cell) + old_length;
  const std::size_t at = record.offset + std::size_t(cell - base);
  scratch_.clear();
  put_length(scratch_, text.size());
  scratch_.append(text);
  const std::size_t new_size = arena_.size() - old_bytes + scratch_.size();
  if (new_size > arena_limit) return false;
  reserve_for(arena_, new_size);
  arena_.replace(at, old_bytes, scratch_);
  record.size = static_cast<std::uint32_t>(record.size - old_bytes + scratch_.size());
  return true;
}

void ListRows::compact_if_wasteful() {
  if (garbage_ < garbage_threshold || garbage_ * 2 < arena_.size()) return;
  std::string packed;
  packed.reserve(arena_.size() - garbage_);
  for (Record& r : records_) {
    const auto offset = static_cast<std::uint32_t>(packed.size());
    packed.append(arena_, r.offset, r.size);
    r.offset = offset;
  }
  arena_.swap(packed);
  garbage_ = 0;
}

bool ListRows::insert(int index, std::string_view text, int icon, int value, int indent, platform::gfx::Argb colour) {
  Lock lock(mutex_);
  if (columns_ <= 0 || index < 0 || index > static_cast<int>(records_.size())) return false;
  Cells& cells = cells_;
  cells.texts.assign(columns_, std::string_view{});
  cells.icons.assign(columns_, -1);
  cells.texts[0] = text;
  cells.icons[0] = icon;
  Record record;
  record.value = value;
  record.indent = indent;
  record.colour = colour;
  if (!store(record, cells.texts, cells.icons)) return false;
  reserve_for(records_, records_.size() + 1);
  records_.insert(records_.begin() + index, record);
  return true;
}

bool ListRows::erase(int index) {
  Lock lock(mutex_);
  if (index < 0 || index >= static_cast<int>(records_.size())) return false;
  const Record& r = records_[index];
  if (std::size_t(r.offset) + r.size == arena_.size()) {
    arena_.resize(r.offset);
  } else {
    garbage_ += r.size;
  }
  records_.erase(records_.begin() + index);
  if (records_.empty()) {
    arena_.clear();
    garbage_ = 0;
  }
  compact_if_wasteful();
  return true;
}

void ListRows::insert_column(int column) {
  Lock lock(mutex_);
  column = std::clamp(column, 0, columns_);
  for (Record& r : records_) {
    Cells& cells = unpack(r);
    cells.texts.insert(cells.texts.begin() + column, std::string_view{});
    cells.icons.insert(cells.icons.begin() + column, -1);
    store(r, cells.texts, cells.icons);
    compact_if_wasteful();
  }
  ++columns_;
}

void ListRows::erase_column(int column) {
  Lock lock(mutex_);
  if (column < 0 || column >= columns_) return;
  for (Record& r : records_) {
    Cells& cells = unpack(r);
    cells.texts.erase(cells.texts.begin() + column);
    cells.icons.erase(cells.icons.begin() + column);
    store(r, cells.texts, cells.icons);  // smaller: always fits in place
  }
  --columns_;
  compact_if_wasteful();
}

std::string ListRows::text(int row, int column) const {
  Lock lock(mutex_);
  if (!valid_cell(row, column)) return {};
  return std::string(unpack(records_[row]).texts[column]);
}

bool ListRows::set_text(int row, int column, std::string_view text) {
  Lock lock(mutex_);
  if (!valid_cell(row, column)) return false;
  Record& r = records_[row];
  if (splice_at_tail(r, column, text)) return true;
  Cells& cells = unpack(r);
  cells.texts[column] = text;
  const bool stored = store(r, cells.texts, cells.icons);
  compact_if_wasteful();
  return stored;
}

int ListRows::icon(int row, int column) const {
  Lock lock(mutex_);
  if (!valid_cell(row, column)) return 0;
  return unpack(records_[row]).icons[column];
}

bool ListRows::set_icon(int row, int column, int icon) {
  Lock lock(mutex_);
  if (!valid_cell(row, column)) return false;
  Record& r = records_[row];
  Cells& cells = unpack(r);
  cells.icons[column] = icon;
  const bool stored = store(r, cells.texts, cells.icons);
  compact_if_wasteful();
  return stored;
}

int ListRows::state(int row) const {
  Lock lock(mutex_);
  if (row < 0 || row >= static_cast<int>(records_.size())) return 0;
  return records_[row].state;
}

bool ListRows::set_state(int row, int state) {
  Lock lock(mutex_);
  if (row < 0 || row >= static_cast<int>(records_.size())) return false;
  records_[row].state = static_cast<std::uint8_t>(state);
  return true;
}

int ListRows::value(int row) const {
  Lock lock(mutex_);
  if (row < 0 || row >= static_cast<int>(records_.size())) return 0;
  return records_[row].value;
}

bool ListRows::set_value(int row, int value) {
  Lock lock(mutex_);
  if (row < 0 || row >= static_cast<int>(records_.size())) return false;
  records_[row].value = value;
  return true;
}

bool ListRows::set_colour(int row, platform::gfx::Argb colour) {
  Lock lock(mutex_);
  if (row < 0 || row >= static_cast<int>(records_.size())) return false;
  records_[row].colour = colour;
  return true;
}

bool ListRows::snapshot(int row, RowSnapshot& out) const {
  Lock lock(mutex_);
  if (row < 0 || row >= static_cast<int>(records_.size())) return false;
  const Record& r = records_[row];
  const Cells& cells = unpack(r);
  out.cells.resize(cells.texts.size());
  for (std::size_t c = 0; c < cells.texts.size(); ++c) out.cells[c].assign(cells.texts[c]);
  out.icons = cells.icons;
  out.state = r.state;
  out.indent = r.indent;
  out.colour = r.colour;
  return true;
}

int ListRows::find_text(std::string_view text, int from, bool exact, int column) const {
  Lock lock(mutex_);
  const auto matches = [&](std::string_view cell) { return exact ? cell == text : contains_ignoring_case(cell, text); };
  for (int row = std::max(0, from); row < static_cast<int>(records_.size()); ++row) {
    const Cells& cells = unpack(records_[row]);
    if (column < 0) {
      if (std::any_of(cells.texts.begin(), cells.texts.end(), matches)) return row;
    } else if (column < columns_ && matches(cells.texts[column])) {
      return row;
    }
  }
  return -1;
}

int ListRows::find_value(int from, int value) const {
  Lock lock(mutex_);
  for (int row = std::max(0, from); row < static_cast<int>(records_.size()); ++row) {
    if (records_[row].value == value) return row;
  }
  return -1;
}

std::size_t ListRows::memory_bytes() const {
  Lock lock(mutex_);
  return records_.capacity() * sizeof(Record) + arena_.capacity();
}

}  // namespace dui
