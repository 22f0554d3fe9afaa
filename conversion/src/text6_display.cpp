#include "tessaldo/conversion/text6_display.h"

namespace tessaldo {

Text6Display ShowText6(std::u16string_view raw) {
  Text6Display shown;
  shown.text.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == u'|' && i + 1 < raw.size() && raw[i + 1] == u'|') {
      shown.red.push_back(static_cast<int>(shown.text.size()));
      ++i;
    }
    shown.text.push_back(raw[i]);
  }
  return shown;
}

}  // namespace tessaldo
