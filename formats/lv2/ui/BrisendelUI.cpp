// Brisendel's LV2 view as a host loads it: the descriptor behind
// lv2ui_descriptor, the features it reads and the interfaces it offers. Every
// entry point catches: nothing thrown reaches the host. A view that cannot be
// made (no parent window, no X display) is reported as a null handle.

#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>

#include "formats/lv2/ui/BrisendelView.h"

namespace {

using brisendel::BrisendelView;

constexpr const char* UI_URI = "urn:orlask:brisendel#ui";
constexpr const char* PLUGIN_URI = "urn:orlask:brisendel";

BrisendelView* viewOf(LV2UI_Handle handle) { return static_cast<BrisendelView*>(handle); }

// The host's ui:scaleFactor, or 1 when it gives none or an unusable one.
double scaleFactor(const LV2_Options_Option* options, const LV2_URID_Map* map) {
  if (options == nullptr || map == nullptr) return 1.0;
  const LV2_URID key = map->map(map->handle, LV2_UI__scaleFactor);
  const LV2_URID type = map->map(map->handle, LV2_ATOM__Float);
  for (const LV2_Options_Option* o = options; o->key != 0; ++o) {
    if (o->key != key || o->type != type || o->size != sizeof(float) || o->value == nullptr)
      continue;
    float value;
    std::memcpy(&value, o->value, sizeof value);
    if (std::isfinite(value) && value >= 0.5f && value <= 4.0f) return value;
  }
  return 1.0;
}

LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*,
                         LV2UI_Write_Function write, LV2UI_Controller controller,
                         LV2UI_Widget* widget, const LV2_Feature* const* features) {
  try {
    if (pluginUri == nullptr || std::strcmp(pluginUri, PLUGIN_URI) != 0 || widget == nullptr)
      return nullptr;
    BrisendelView::Host host;
    host.write = write;
    host.controller = controller;
    void* parent = nullptr;
    const LV2_Options_Option* options = nullptr;
    for (const LV2_Feature* const* f = features; f && *f; ++f) {
      const char* uri = (*f)->URI;
      void* data = (*f)->data;
      if (uri == nullptr) continue;
      if (!std::strcmp(uri, LV2_UI__parent))
        parent = data;
      else if (!std::strcmp(uri, LV2_URID__map))
        host.map = static_cast<const LV2_URID_Map*>(data);
      else if (!std::strcmp(uri, LV2_UI__touch))
        host.touch = static_cast<const LV2UI_Touch*>(data);
      else if (!std::strcmp(uri, LV2_UI__resize))
        host.resize = static_cast<const LV2UI_Resize*>(data);
      else if (!std::strcmp(uri, LV2_OPTIONS__options))
        options = static_cast<const LV2_Options_Option*>(data);
    }
    if (parent == nullptr) {
      std::fprintf(stderr, "Brisendel view: the host gives no parent window (ui:parent)\n");
      return nullptr;
    }
    if (host.map && !host.map->map) host.map = nullptr;
    auto* view =
        new BrisendelView(host, BrisendelView::WindowId(reinterpret_cast<std::uintptr_t>(parent)),
                          scaleFactor(options, host.map));
    *widget = reinterpret_cast<LV2UI_Widget>(std::uintptr_t(view->window()));
    view->announce(true);
    return view;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
  } catch (...) {
  }
  return nullptr;
}

void cleanup(LV2UI_Handle handle) {
  try {
    viewOf(handle)->announce(false);
  } catch (...) {
  }
  delete viewOf(handle);
}

void portEvent(LV2UI_Handle handle, std::uint32_t port, std::uint32_t size, std::uint32_t format,
               const void* buffer) {
  try {
    viewOf(handle)->portEvent(port, size, format, buffer);
  } catch (...) {
  }
}

int idle(LV2UI_Handle handle) {
  try {
    return viewOf(handle)->idle();
  } catch (...) {
    return 0;
  }
}

int resize(LV2UI_Feature_Handle handle, int width, int height) {
  try {
    viewOf(handle)->requestSize(width, height);
    return 0;
  } catch (...) {
    return 1;
  }
}

const void* extensionData(const char* uri) {
  static const LV2UI_Idle_Interface idleInterface = {idle};
  static const LV2UI_Resize resizeInterface = {nullptr, resize};
  if (uri == nullptr) return nullptr;
  if (!std::strcmp(uri, LV2_UI__idleInterface)) return &idleInterface;
  if (!std::strcmp(uri, LV2_UI__resize)) return &resizeInterface;
  return nullptr;
}

const LV2UI_Descriptor descriptor = {UI_URI, instantiate, cleanup, portEvent, extensionData};

}  // namespace

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(std::uint32_t index) {
  return index == 0 ? &descriptor : nullptr;
}
