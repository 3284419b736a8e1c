#pragma once

#include <vector>

#include "spl/block/BlockProcessor.h"

namespace spl {

// Multiplies every position of a clip (all channels alike) by a table entry.
// The table is filled by the subclass only when the clip length changes, so
// the trigonometry runs once per length; the first call at a new length
// allocates, later calls at that length do not.
class TableMultiplier : public BlockProcessor {
 public:
  void process(Clip& clip) override;
  // Computes entry i of _table for every i below length; _table has that size.
  virtual void fillTable(unsigned length) = 0;

  // How many times the table has been filled since construction.
  unsigned getTableBuildCount() const { return _tableBuildCount; }
  const std::vector<double>& getTable() const { return _table; }

 protected:
  std::vector<double> _table;

 private:
  unsigned _tableBuildCount = 0;
};

}  // namespace spl
