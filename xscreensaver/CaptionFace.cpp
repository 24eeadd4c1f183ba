#include "xscreensaver/CaptionFace.h"

#include <fontconfig/fontconfig.h>

#include <memory>

namespace {

struct PatternFree {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using Pattern = std::unique_ptr<FcPattern, PatternFree>;

std::optional<CaptionFace> MatchBold(const char* family) {
  Pattern wanted(FcPatternCreate());
  if (!wanted) {
    return std::nullopt;
  }
  FcPatternAddString(wanted.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  FcPatternAddInteger(wanted.get(), FC_WEIGHT, FC_WEIGHT_BOLD);
  FcPatternAddInteger(wanted.get(), FC_SLANT, FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, wanted.get(), FcMatchPattern);
  FcDefaultSubstitute(wanted.get());
  FcResult result = FcResultNoMatch;
  const Pattern found(FcFontMatch(nullptr, wanted.get(), &result));
  FcChar8* file = nullptr;
  FcChar8* found_family = nullptr;
  int weight = 0;
  int index = 0;
  if (!found || FcPatternGetString(found.get(), FC_FILE, 0, &file) != FcResultMatch ||
      FcPatternGetString(found.get(), FC_FAMILY, 0, &found_family) != FcResultMatch ||
      FcPatternGetInteger(found.get(), FC_WEIGHT, 0, &weight) != FcResultMatch) {
    return std::nullopt;
  }
  FcPatternGetInteger(found.get(), FC_INDEX, 0, &index);
  // fontconfig always answers with some face; only the family asked for, in bold, will do.
  if (FcStrCmpIgnoreCase(found_family, reinterpret_cast<const FcChar8*>(family)) != 0 ||
      weight < FC_WEIGHT_BOLD) {
    return std::nullopt;
  }
  return CaptionFace{reinterpret_cast<const char*>(file), index,
                     reinterpret_cast<const char*>(found_family)};
}

}  // namespace

std::optional<CaptionFace> FindCaptionFace() {
  if (!FcInit()) {
    return std::nullopt;
  }
  // The face is looked up once: fontconfig's configuration and caches go with it.
  struct Fini {
    ~Fini() { FcFini(); }
  } fini;
  for (const char* family : {"Courier New", "Liberation Mono"}) {
    if (auto face = MatchBold(family)) {
      return face;
    }
  }
  return std::nullopt;
}
