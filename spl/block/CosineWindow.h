#pragma once

#include "spl/block/TableMultiplier.h"

namespace spl {

// One whole period of cos(2 pi i / N) over the block; negative in its middle half.
class CosineWindow : public TableMultiplier {
 public:
  void fillTable(unsigned length) override;
};

}  // namespace spl
