#include "gfx_internal.h"

#include "platform/text.h"

namespace platform::gfx {

QString to_qstring(std::string_view gbk) {
  if (gbk.empty()) return QString();
  std::u16string wide = text::gbk_to_utf16(gbk);
  return QString(reinterpret_cast<const QChar*>(wide.data()), qsizetype(wide.size()));
}

}  // namespace platform::gfx
