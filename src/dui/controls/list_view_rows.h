// ListRows: the rows of a list view in compact form. Every row is one small record plus one
// packed block of its cell texts (and cell icons, only when a row has any) in a shared text
// arena, so that 100,000 rows cost a few bytes more than their texts and no heap object each.
//
// Indexes here are 0-based. Every operation takes a lock: the owner may fill the list from a
// worker thread while the window thread paints it.
#pragma once

#include "platform/gfx.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace dui {

// What a row draws with: a copy taken under the lock.
struct RowSnapshot {
  std::vector<std::string> cells;
  std::vector<int> icons;
  int state = 0;
  int indent = 0;
  platform::gfx::Argb colour = 0;
};

class ListRows {
 public:
  int count() const;
  int columns() const;
  // Drops every row and releases their memory; the column count stays.
  void clear();

  // A row with one cell per column, `text` in the first; false when the index is out of range.
  bool insert(int index, std::string_view text, int icon, int value, int indent, platform::gfx::Argb colour);
  bool erase(int index);
  // Every row gets an empty cell (icon -1) at `column`; the column count grows by one.
  void insert_column(int column);
  void erase_column(int column);

  std::string text(int row, int column) const;
  bool set_text(int row, int column, std::string_view text);
  int icon(int row, int column) const;
  bool set_icon(int row, int column, int icon);
  int state(int row) const;
  bool set_state(int row, int state);
  int value(int row) const;
  bool set_value(int row, int value);
  bool set_colour(int row, platform::gfx::Argb colour);
  bool snapshot(int row, RowSnapshot& out) const;

  // Rows from `from` on whose cell (or any cell with column -1) equals or, without `exact`,
  // contains the text ignoring letter case; -1 when none.
  int find_text(std::string_view text, int from, bool exact, int column) const;
  int find_value(int from, int value) const;

  // Bytes held by the row records and the text arena.
  std::size_t memory_bytes() const;

 private:
  struct Record {
    std::uint32_t offset = 0;  // of the packed block in the arena
    std::uint32_t size = 0;
    std::int32_t value = 0;
    std::int32_t indent = 0;
    platform::gfx::Argb colour = 0;
    std::uint8_t state = 0;
    std::uint8_t has_icons = 0;  // the block ends with one int32 icon per column
  };
  struct Cells {
    std::vector<std::string_view> texts;
    std::vector<int> icons;
  };

  bool valid_cell(int row, int column) const;
  // Unpacks into `cells_` (reused, so that no call allocates once it has grown).
  Cells& unpack(const Record& record) const;
  // Packs the cells into the arena for the record; false when the arena would pass 4 GiB.
  bool store(Record& record, const std::vector<std::string_view>& texts, const std::vector<int>& icons);
  // Replaces one cell of the last block of the arena in place (the row being filled); false
  // when the record's block is elsewhere.
  bool splice_at_tail(Record& record, int column, std::string_view text);
  void compact_if_wasteful();

  mutable std::mutex mutex_;
  int columns_ = 0;
  std::vector<Record> records_;
  std::string arena_;
  std::size_t garbage_ = 0;  // arena bytes no record refers to any more
  std::string scratch_;      // packing buffer
  mutable Cells cells_;      // unpacking buffer
};

}  // namespace dui
