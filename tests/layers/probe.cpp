// Built twice by the layer-rule check: from a layer that may see what it includes, where
// it must build, and from a layer below it, where the include must not be found.
#include "windowsetup/WindowSetup.h"

int LayerProbe() {
  return SaverViewport(4, 3).width;
}
