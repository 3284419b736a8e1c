#pragma once

// A host's urid:map for the fuzz targets: URIs numbered from 1 in the order
// first asked, so that a target that maps the same URIs in the same order gets
// the same small numbers every time (and its seeds and dictionary can name them).

#include <lv2/urid/urid.h>

#include <string>
#include <vector>

class UridMap {
 public:
  UridMap() : _map{this, &UridMap::mapUri} {}
  UridMap(const UridMap&) = delete;
  UridMap& operator=(const UridMap&) = delete;

  LV2_URID_Map* map() { return &_map; }
  LV2_URID operator()(const char* uri) { return mapUri(this, uri); }

 private:
  static LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri) {
    auto& uris = static_cast<UridMap*>(handle)->_uris;
    for (std::size_t i = 0; i < uris.size(); ++i)
      if (uris[i] == uri) return LV2_URID(i + 1);
    uris.emplace_back(uri);
    return LV2_URID(uris.size());
  }

  std::vector<std::string> _uris;
  LV2_URID_Map _map;
};
