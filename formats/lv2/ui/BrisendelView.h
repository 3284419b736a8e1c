#pragma once

// Brisendel's view: a child window of the host's, drawn with cairo on a
// connection of its own to the X server, driven by the host's idle calls. It
// shows the plug-in's meter messages with the tool's drawing (draw/) and the
// controls the parameter table describes, and hands every edit of a control
// to the host inside a touch gesture.
//
// All calls come from the host's UI thread. Constructing fails with
// std::runtime_error when no X connection or window can be had.

#include <cairo.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <chrono>
#include <cstdint>

#include "effect/Parameters.h"
#include "formats/lv2/ViewMessages.h"
#include "formats/lv2/ui/MeterState.h"
#include "formats/lv2/ui/ViewLayout.h"

// Xlib's own names; its header defines macros (Bool, Status) that LV2's
// headers must not see, so only the .cpp includes it.
struct _XDisplay;
struct _XGC;
union _XEvent;

namespace brisendel {

class BrisendelView {
 public:
  // What the host offered; touch, resize and map may be null.
  struct Host {
    LV2UI_Write_Function write = nullptr;
    LV2UI_Controller controller = nullptr;
    const LV2UI_Touch* touch = nullptr;
    const LV2UI_Resize* resize = nullptr;
    const LV2_URID_Map* map = nullptr;
  };

  // An X window id (XID).
  using WindowId = unsigned long;

  BrisendelView(const Host& host, WindowId parent, double scale);
  ~BrisendelView();
  BrisendelView(const BrisendelView&) = delete;
  BrisendelView& operator=(const BrisendelView&) = delete;

  WindowId window() const { return _window; }

  // Tells the plug-in that the view opened or closes (when messages can flow).
  void announce(bool open);
  // A control's value or a message from the plug-in; anything malformed is ignored.
  void portEvent(std::uint32_t port, std::uint32_t size, std::uint32_t format, const void* buffer);
  // Handles the window's events, moves the meters on and redraws when
  // anything changed. Returns 0: the window closes only with the view.
  int idle();
  // The host asks for another size; the window follows when the server says so.
  void requestSize(int width, int height);

 private:
  void handle(const _XEvent& event);
  void press(unsigned button, int x, int y, unsigned modifiers, unsigned long time);
  void release(unsigned button);
  void motion(int x, int y, unsigned modifiers);
  void wheel(int control, int direction, bool fine);
  void edit(int control, double value);
  void touch(int control, bool grabbed);
  void draw();
  void drawMeters(cairo_t* cr) const;
  void show();

  Host _host;
  ViewMessages _messages;
  _XDisplay* _display = nullptr;
  WindowId _window = 0;
  // The parent's visual (a Visual*) and depth, which the window shares.
  void* _visual = nullptr;
  int _depth = 0;
  _XGC* _gc = nullptr;
  // The picture, drawn in memory at the window's size.
  cairo_surface_t* _surface = nullptr;
  ViewLayout _layout;
  MeterState _meters;
  float _values[Parameters::COUNT];
  bool _dirty = true;
  std::chrono::steady_clock::time_point _lastIdle;

  // The control the first button holds, where the drag started and from which value.
  struct Drag {
    int control = -1;
    int x = 0, y = 0;
    float value = 0;
    bool fine = false;
  } _drag;
  // For telling a double click: the last press's control and server time.
  int _lastPressControl = -1;
  unsigned long _lastPressTime = 0;
};

}  // namespace brisendel
