#include "spl/block/TableMultiplier.h"

namespace spl {

void TableMultiplier::process(Clip& clip) {
  const unsigned length = clip.getLength();
  if (_table.size() != length) {
    _table.assign(length, 0.0);
    fillTable(length);
    ++_tableBuildCount;
  }
  for (unsigned p = 0; p < clip.getLength(); ++p) {
    for (unsigned c = 0; c < clip.getNumChannels(); ++c) {
      clip.set(c, p, clip.get(c, p) * _table[p]);
    }
  }
}

}  // namespace spl
