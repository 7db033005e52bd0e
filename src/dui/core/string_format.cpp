#include "dui/core/string_format.h"

namespace dui {
namespace gfx = platform::gfx;

Ex_StringFormat::~Ex_StringFormat() {
  if (owns_native_ != 0) delete_native();
}

void Ex_StringFormat::delete_native() { native_.reset(); }

bool Ex_StringFormat::create(int format_flags, int language, std::optional<int> owns_native) {
  owns_native_ = owns_native.value_or(1);
  if (owns_native_ != 0) delete_native();
  language_ = language;
  native_ = std::make_shared<gfx::StringFormat>();
  native_->flags = format_flags;
  return true;
}

int Ex_StringFormat::alignment(std::optional<int> value) {
  if (!native_) return 0;
  if (value && *value >= 0 && *value <= 2) native_->alignment = gfx::Alignment(*value);
  return value.value_or(int(native_->alignment));
}

int Ex_StringFormat::trimming(std::optional<int> value) {
  if (!native_) return 0;
  if (value && *value >= 0 && *value <= 5) native_->trimming = gfx::Trimming(*value);
  return value.value_or(int(native_->trimming));
}

int Ex_StringFormat::hotkey_prefix(std::optional<int> value) {
  if (!native_) return 0;
  if (value && *value >= 0 && *value <= 2) native_->hotkey_prefix = gfx::HotkeyPrefix(*value);
  return value.value_or(int(native_->hotkey_prefix));
}

int Ex_StringFormat::flags(std::optional<int> value) {
  if (!native_) return 0;
  if (value) native_->flags = *value;
  return value.value_or(native_->flags);
}

}  // namespace dui
