// GBK (code page 936) text: the program's own encoding. Everything above the platform layer
// holds texts as GBK byte strings; this module is the only place that converts.
#pragma once

#include <string>
#include <string_view>

namespace platform::text {

// Invalid or incomplete input sequences become U+FFFD (from GBK) or '?' (to GBK); the
// conversions never fail and never stop early.
std::string gbk_to_utf8(std::string_view gbk);
std::string utf8_to_gbk(std::string_view utf8);
std::u16string gbk_to_utf16(std::string_view gbk);
std::string utf16_to_gbk(std::u16string_view utf16);

// True when every byte sequence of the text is valid GBK.
bool is_valid_gbk(std::string_view gbk);

}  // namespace platform::text
