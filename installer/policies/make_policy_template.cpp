// make-policy-template OUTDIR: writes the administrative template made from the settings
// table, OUTDIR/tessaryn.admx and OUTDIR/en-US/tessaryn.adml.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "installer/policies/PolicyTemplate.h"

namespace {

namespace fs = std::filesystem;

// Writes beside `path` first, so that a failed write never leaves a file that looks whole.
bool WriteFile(const fs::path& path, const std::string& text) {
  std::error_code error;
  fs::create_directories(path.parent_path(), error);
  if (error) {
    std::fprintf(stderr, "make-policy-template: cannot make %s: %s\n", path.parent_path().c_str(),
                 error.message().c_str());
    return false;
  }
  fs::path partial = path;
  partial += ".partial";
  {
    std::ofstream file(partial, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file) {
      std::fprintf(stderr, "make-policy-template: cannot write %s\n", partial.c_str());
      fs::remove(partial, error);
      return false;
    }
  }
  fs::rename(partial, path, error);
  if (error) {
    std::fprintf(stderr, "make-policy-template: cannot write %s: %s\n", path.c_str(),
                 error.message().c_str());
    fs::remove(partial, error);
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-policy-template OUTDIR\n");
    return 2;
  }
  const fs::path out = argv[1];
  const bool written = WriteFile(out / "tessaryn.admx", AdmxText()) &&
                       WriteFile(out / "en-US" / "tessaryn.adml", AdmlText());
  return written ? 0 : 1;
}
