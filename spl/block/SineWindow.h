#pragma once

#include "spl/block/TableMultiplier.h"

namespace spl {

// One whole period of sin(2 pi i / N) over the block; negative in its second half.
class SineWindow : public TableMultiplier {
 public:
  void fillTable(unsigned length) override;
};

}  // namespace spl
