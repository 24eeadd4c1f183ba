// Built twice by the layer-rule check: from a layer above the forms layer, where it must
// build, and from the settings store's layer below it, where the include must not be
// found.
#include "ui/Application.h"

bool LayerProbe() {
  return Application().Terminated();
}
