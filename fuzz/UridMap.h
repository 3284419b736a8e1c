#pragma once

// A host's urid:map for the fuzz targets: the tests' one, URIs numbered from 1
// in the order first asked, so that a target that maps the same URIs in the
// same order gets the same small numbers every time (and its seeds and
// dictionary can name them).

#include "tests/formats/lv2/TestUridMap.h"

using UridMap = brisendel_test::TestUridMap;
