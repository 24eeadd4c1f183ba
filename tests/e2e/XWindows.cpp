#include "XWindows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "tests/support/Pump.h"

namespace {

int g_shell_runs = 0;

}  // namespace

// NOTE: Wine starts a Unix program from CreateProcess but hands back no process handle to
// wait on, so the command marks its end by renaming its output file.
std::string HostShell(const std::string& command, DWORD timeout_ms) {
  // Wine reuses its process ids from run to run: the start time keeps the name fresh.
  const std::string unix_path = "/tmp/tessaryn-e2e-" + std::to_string(GetCurrentProcessId()) + "-" +
                                std::to_string(GetTickCount()) + "-" +
                                std::to_string(++g_shell_runs);
  // Bounded, so that a stuck X client cannot hold the test bed.
  std::string line = "/bin/sh -c \"(timeout 20 " + command + ") >" + unix_path +
                     ".part 2>/dev/null; mv " + unix_path + ".part " + unix_path + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi)) {
    ADD_FAILURE() << "cannot start the host's shell";
    return {};
  }
  // NOTE: for a Unix program Wine gives back no process handle and a thread "handle" of
  // -11, which CloseHandle takes for the caller's own standard output.
  if (pi.hProcess != nullptr) {
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  std::string dos_path = "Z:" + unix_path;
  for (char& c : dos_path) {
    c = c == '/' ? '\\' : c;
  }
  if (!PumpUntil([&] { return GetFileAttributesA(dos_path.c_str()) != INVALID_FILE_ATTRIBUTES; },
                 timeout_ms)) {
    ADD_FAILURE() << "host command timed out: " << command;
    return {};
  }
  std::ifstream file(dos_path, std::ios::binary);
  std::string output((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  file.close();
  DeleteFileA(dos_path.c_str());
  return output;
}

// From the lines of `xwininfo -tree`: the id, the name or "(has no name)", and at the end
// the geometry "WxH+X+Y" and the absolute position.
XWindowSizes UnnamedXWindows() {
  std::istringstream tree(HostShell("xwininfo -root -tree"));
  XWindowSizes windows;
  for (std::string line; std::getline(tree, line);) {
    std::istringstream in(line);
    std::vector<std::string> words{std::istream_iterator<std::string>(in),
                                   std::istream_iterator<std::string>()};
    if (words.size() >= 4 && words[0].rfind("0x", 0) == 0 && words[1] == "(has") {
      const std::string& geometry = words[words.size() - 2];
      windows[words[0]] = geometry.substr(0, geometry.find('+'));
    }
  }
  return windows;
}

bool XWindowViewable(const std::string& title) {
  return HostShell("xwininfo -name '" + title + "' 2>/dev/null").find("Map State: IsViewable") !=
         std::string::npos;
}

std::string SizeText(int width, int height) {
  return std::to_string(width) + "x" + std::to_string(height);
}

std::string NewXWindowOfSize(int width, int height, const XWindowSizes& before) {
  std::string found;
  XWindowSizes older = before;
  PumpUntil(
      [&] {
        const XWindowSizes now = UnnamedXWindows();
        // NOTE: a program that has just ended may keep its windows a moment longer, and
        // the X server gives the next client the freed ids: a window seen gone is older
        // no more, or the new program's clock window would pass for the old one's.
        std::erase_if(older, [&now](const auto& window) { return now.count(window.first) == 0; });
        for (const auto& [id, size] : now) {
          if (size == SizeText(width, height) && older.count(id) == 0) {
            found = id;
          }
        }
        return !found.empty();
      },
      kAppearBound_ms);
  if (found.empty()) {
    ADD_FAILURE() << "no X window of " << SizeText(width, height);
  }
  return found;
}

std::string OnlyXWindowOfSize(int width, int height) {
  std::vector<std::string> found;
  for (const auto& [id, size] : UnnamedXWindows()) {
    if (size == SizeText(width, height)) {
      found.push_back(id);
    }
  }
  if (found.size() != 1) {
    ADD_FAILURE() << found.size() << " X windows of " << SizeText(width, height);
    return {};
  }
  return found.front();
}

int Picture::Lit() const {
  int lit = 0;
  for (int i = 0; i < Pixels(); ++i) {
    lit += At(i)[0] + At(i)[1] + At(i)[2] > 60 ? 1 : 0;
  }
  return lit;
}

int Picture::ColourSpread() const {
  int spread = 0;
  for (int i = 0; i < Pixels(); ++i) {
    const unsigned char* p = At(i);
    spread = std::max({spread, std::abs(p[0] - p[1]), std::abs(p[1] - p[2])});
  }
  return spread;
}

int Picture::Differences(const Picture& other) const {
  int count = 0;
  for (int i = 0; i < Pixels(); ++i) {
    count += std::abs(At(i)[0] - other.At(i)[0]) + std::abs(At(i)[1] - other.At(i)[1]) +
                         std::abs(At(i)[2] - other.At(i)[2]) >
                     24
                 ? 1
                 : 0;
  }
  return count;
}

// NOTE: import clips to the screen, and Wine puts the off-screen window at (-1, -1), so
// the capture is read with the size its header gives.
Picture CaptureXWindow(const std::string& id) {
  Picture p = TryCaptureXWindow(id);
  EXPECT_FALSE(p.rgb.empty()) << "capture of " << id;
  return p;
}

Picture TryCaptureXWindow(const std::string& id) {
  std::istringstream ppm(HostShell("import -window " + id + " -depth 8 ppm:-"));
  std::string magic;
  int max_value = 0;
  Picture p;
  ppm >> magic >> p.width >> p.height >> max_value;
  ppm.get();
  p.rgb.assign(std::istreambuf_iterator<char>(ppm), std::istreambuf_iterator<char>());
  if (magic != "P6" || p.width <= 0 || p.height <= 0 ||
      p.rgb.size() != static_cast<size_t>(p.width) * static_cast<size_t>(p.height) * 3) {
    return Picture{};
  }
  return p;
}
