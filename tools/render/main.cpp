// tessaryn-render: draws frames of the clock scene offscreen with Mesa and writes the
// last one as PNG and/or as the trace of its OpenGL calls.
#include <cstdio>
#include <exception>
#include <string>

#include "tools/render/GlTrace.h"
#include "tools/render/Png.h"
#include "tools/render/RenderOptions.h"
#include "tools/render/SceneRender.h"

namespace {

bool WriteTrace(const std::string& path, const std::vector<GlCall>& calls) {
  std::FILE* file = path == "-" ? stdout : std::fopen(path.c_str(), "w");
  if (file == nullptr) {
    std::fprintf(stderr, "tessaryn-render: cannot open %s for writing\n", path.c_str());
    return false;
  }
  for (const GlCall& call : calls) {
    std::fprintf(file, "%s\n", FormatGlCall(call).c_str());
  }
  const bool ok = std::ferror(file) == 0;
  if (file != stdout) {
    std::fclose(file);
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  const auto options = ParseRenderOptions(argc - 1, argv + 1, error);
  if (!options) {
    std::fprintf(stderr, "tessaryn-render: %s\n%s", error.c_str(), RenderUsage().c_str());
    return 2;
  }
  if (options->help) {
    std::printf("%s", RenderUsage().c_str());
    return 0;
  }
  try {
    const RenderResult result = RenderScene(*options, !options->trace_path.empty());
    if (!options->png_path.empty() && !WritePng(options->png_path, result.image, error)) {
      std::fprintf(stderr, "tessaryn-render: %s\n", error.c_str());
      return 1;
    }
    if (!options->trace_path.empty() && !WriteTrace(options->trace_path, result.trace)) {
      return 1;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tessaryn-render: %s\n", e.what());
    return 1;
  }
  return 0;
}
