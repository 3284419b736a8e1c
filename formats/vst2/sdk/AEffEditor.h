#pragma once

#include "formats/vst2/sdk/AEffectX.h"

// The optional editor window of an effect, as far as the dispatchers drive it.
// The adapter owns an attached editor and deletes it with itself; this system
// attaches none, so every method here is a neutral default.
class AEffEditor {
 public:
  virtual ~AEffEditor() = default;
  // Hands the host the editor's rectangle through *rect; true when it did.
  virtual bool getRect(ERect** rect) {
    if (rect != nullptr) *rect = nullptr;
    return false;
  }
  // Opens the editor inside the host's system window.
  virtual bool open(void* systemWindow) {
    (void)systemWindow;
    return false;
  }
  virtual void close() {}
  virtual void idle() {}
  virtual bool onKeyDown(VstKeyCode& keyCode) {
    (void)keyCode;
    return false;
  }
  virtual bool onKeyUp(VstKeyCode& keyCode) {
    (void)keyCode;
    return false;
  }
  virtual bool setKnobMode(VstInt32 value) {
    (void)value;
    return false;
  }
};
