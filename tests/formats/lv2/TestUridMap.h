#pragma once

// A host's urid:map for tests: URIs numbered from 1 in the order first asked.

#include <lv2/urid/urid.h>

#include <string>
#include <vector>

namespace brisendel_test {

class TestUridMap {
 public:
  TestUridMap() : _map{this, &TestUridMap::mapUri} {}
  TestUridMap(const TestUridMap&) = delete;
  TestUridMap& operator=(const TestUridMap&) = delete;

  LV2_URID_Map* map() { return &_map; }
  LV2_URID operator()(const char* uri) { return mapUri(this, uri); }

 private:
  static LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri) {
    auto& uris = static_cast<TestUridMap*>(handle)->_uris;
    for (std::size_t i = 0; i < uris.size(); ++i)
      if (uris[i] == uri) return LV2_URID(i + 1);
    uris.emplace_back(uri);
    return LV2_URID(uris.size());
  }

  std::vector<std::string> _uris;
  LV2_URID_Map _map;
};

}  // namespace brisendel_test
