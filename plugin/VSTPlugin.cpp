#include "plugin/VSTPlugin.h"

#include <cmath>
#include <new>
#include <sstream>

#include "spl/util/Util.h"

namespace {

// A number as a default-configured text stream writes it: general notation,
// six significant digits, no trailing zeros.
std::string numberText(double value) {
  std::ostringstream text;
  text << value;
  return text.str();
}

}  // namespace

AudioEffect* createEffectInstance(audioMasterCallback audioMaster) {
  // A failing constructor releases the storage and throws; the entry stops it.
  return new (std::nothrow) VSTPlugin(audioMaster);
}

VSTPlugin::VSTPlugin(audioMasterCallback audioMaster)
    : AbstractStereoAudioEffectX(audioMaster, 1, NUM_PARAMS) {
  setUniqueID(UNIQUE_ID);

  for (int i = 0; i <= 200; ++i) {
    const double value = i / 100.0;
    _center.addValue(value);
    _side.addValue(value);
  }
  _center.setNormalized(0.5);
  addParameterName("Center");
  addParameterLabel("%");
  _side.setNormalized(0.5);
  addParameterName("Side");
  addParameterLabel("%");

  _autoGain.addValue("Disabled");
  _autoGain.addValue("Enabled");
  _autoGain.setNormalized(1.0);
  addParameterName("AutoGain");
  addParameterLabel("");

  // Quality keeps its initial normalized 0.0: the first step, the cheapest transform.
  for (unsigned int q = 1; q <= 9; ++q) _quality.addValue(q);
  addParameterName("Quality");
  addParameterLabel("");

  _window.addValue("A");
  _window.addValue("B");
  _window.setNormalized(1.0);
  addParameterName("Window");
  addParameterLabel("");

  _imager = std::make_unique<Radi3zur>();
  // Every table of every Quality and Window, now rather than on the audio thread.
  _imager->prepare(static_cast<unsigned>(WINDOW_LENGTH));
  _processor = std::make_unique<spl::OverwrapStreamProcessor>(
      *_imager, 2, static_cast<unsigned>(WINDOW_LENGTH), RESERVED_FRAMES);
  setInitialDelay(WINDOW_LENGTH);
}

template <typename Visitor>
bool VSTPlugin::visitControl(VstInt32 index, Visitor&& visitor) {
  switch (index) {
    case kCenter:
      visitor(_center);
      return true;
    case kSide:
      visitor(_side);
      return true;
    case kAutoGain:
      visitor(_autoGain);
      return true;
    case kQuality:
      visitor(_quality);
      return true;
    case kWindow:
      visitor(_window);
      return true;
    default:
      return false;
  }
}

void VSTPlugin::setParameter(VstInt32 index, float value) {
  // The controls refuse values outside 0..1; a host that sends one gets the
  // nearest valid value instead of a failure, and NaN leaves the value as it was.
  if (std::isnan(value)) return;
  const double normalized = value < 0.0f ? 0.0 : (value > 1.0f ? 1.0 : static_cast<double>(value));
  visitControl(index, [normalized](auto& control) { control.setNormalized(normalized); });
}

float VSTPlugin::getParameter(VstInt32 index) {
  float value = 0.0f;
  visitControl(index,
               [&value](auto& control) { value = static_cast<float>(control.getNormalized()); });
  return value;
}

std::string VSTPlugin::getEffectNameString() { return "Brisendel"; }

std::string VSTPlugin::getVendorNameString() { return "Orlask"; }

std::string VSTPlugin::getProductNameString() { return "Orlask Series"; }

std::string VSTPlugin::getParameterDisplayString(VstInt32 index) {
  switch (index) {
    case kCenter:
      return numberText(spl::roundToSignificant(_center.getValue() * 100.0, 3));
    case kSide:
      return numberText(spl::roundToSignificant(_side.getValue() * 100.0, 3));
    case kAutoGain:
      return _autoGain.getValue();
    case kQuality:
      return numberText(spl::roundToSignificant(static_cast<double>(_quality.getValue()), 1));
    case kWindow:
      return _window.getValue();
    default:
      return std::string();
  }
}

void VSTPlugin::processClip(spl::Clip& clip) {
  const unsigned n = clip.getLength();
  _imager->setCenter(_center.getValue());
  _imager->setSide(_side.getValue());
  _imager->setAutoGain(_autoGain.getIndex() == 1);
  _imager->setQuality(_quality.getValue());
  _imager->setWindowMode(static_cast<int>(_window.getIndex()));
  _processor->write(clip);
  _processor->read(clip, n);
}
