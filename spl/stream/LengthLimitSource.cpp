#include "spl/stream/LengthLimitSource.h"

namespace spl {

void LengthLimitSource::read(Clip& clip, unsigned length) {
  _source.read(clip, length);
  // _count never exceeds _limit, so the difference cannot wrap.
  if (_limit - _count < length) {
    _count = _limit;
  } else {
    _count += length;
  }
}

}  // namespace spl
