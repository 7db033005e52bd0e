// Ex_StringFormat: a small owner of a native string format (alignment, trimming, hot-key
// prefix, format flags) that controls build their drawing format with.
#pragma once

#include "platform/gfx.h"

#include <memory>
#include <optional>

namespace dui {

// The native format a control keeps and draws its text with; null = none.
using NativeStringFormat = std::shared_ptr<platform::gfx::StringFormat>;

class Ex_StringFormat {
 public:
  Ex_StringFormat() = default;
  // Drops the native format when it owns it.
  ~Ex_StringFormat();
  // A copy refers to the same native format with the same ownership.
  Ex_StringFormat(const Ex_StringFormat&) = default;
  Ex_StringFormat& operator=(const Ex_StringFormat&) = default;

  void delete_native();
  // A new native format with the flags (language is kept for the record: text layout does not
  // depend on it). With owns_native (default 1) the current format is dropped first.
  bool create(int format_flags, int language, std::optional<int> owns_native = std::nullopt);
  // Property operations: a given value is set and answered; otherwise the current one (0 with no
  // native format).
  int alignment(std::optional<int> value = std::nullopt);
  int trimming(std::optional<int> value = std::nullopt);
  int hotkey_prefix(std::optional<int> value = std::nullopt);
  int flags(std::optional<int> value = std::nullopt);
  const NativeStringFormat& native() const { return native_; }
  int owns_native() const { return owns_native_; }
  int language() const { return language_; }

 private:
  NativeStringFormat native_;
  int owns_native_ = 0;
  int language_ = 0;
};

}  // namespace dui
