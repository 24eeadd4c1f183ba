#include "tests/xscreensaver/XTestBed.h"

#include <X11/Xutil.h>
#include <X11/extensions/XRes.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

bool Expired(Clock::time_point deadline) {
  return Clock::now() >= deadline;
}

Clock::time_point After(int timeout_ms) {
  return Clock::now() + std::chrono::milliseconds(timeout_ms);
}

// Reads a line from `fd` within `timeout_ms`.
std::string ReadLine(int fd, int timeout_ms) {
  std::string line;
  const auto deadline = After(timeout_ms);
  char c = 0;
  while (!Expired(deadline)) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    if (read(fd, &c, 1) != 1 || c == '\n') break;
    line += c;
  }
  return line;
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

// NOTE: Mesa unloads its DRI driver when the display closes, and LeakSanitizer then
// counts what the driver still held, whose owners went with its pages, as leaks of the
// hack. Kept loaded, the driver's memory is not reported; the hack's own leaks still are.
std::vector<std::string> SanitizerEnvironment() {
#ifdef TESSARYN_SWRAST_DRI
  if (kAddressSanitizer) return {std::string("LD_PRELOAD=") + TESSARYN_SWRAST_DRI};
#endif
  return {};
}

bool Inherited(const char* entry) {
  for (const char* prefix : {"DISPLAY=", "XSCREENSAVER_WINDOW=", "TESSARYN_"}) {
    if (std::strncmp(entry, prefix, std::strlen(prefix)) == 0) return false;
  }
  return true;
}

}  // namespace

bool HasProperty(Display* display, Window window, const char* property) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  XGetWindowProperty(display, window, XInternAtom(display, property, False), 0, 1, False,
                     AnyPropertyType, &type, &format, &count, &after, &data);
  if (data != nullptr) XFree(data);
  return type != None;
}

VirtualScreen::VirtualScreen(const char* size) {
  int fds[2];
  if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
  const std::string fd = std::to_string(fds[1]);
  server_ = fork();
  if (server_ == 0) {
    close(fds[0]);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", size, "-nolisten", "tcp",
           "-noreset", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  const std::string number = ReadLine(fds[0], 30000);
  close(fds[0]);
  if (number.empty()) throw std::runtime_error("Xvfb did not start");
  name_ = ":" + number;
  display_ = XOpenDisplay(name_.c_str());
  if (display_ == nullptr) throw std::runtime_error("cannot connect to Xvfb " + name_);
}

VirtualScreen::~VirtualScreen() {
  if (display_ != nullptr) XCloseDisplay(display_);
  if (server_ > 0) {
    kill(server_, SIGTERM);
    waitpid(server_, nullptr, 0);
  }
}

HackProcess::HackProcess(const std::vector<std::string>& args,
                         const std::vector<std::string>& env) {
  std::vector<std::string> environment;
  for (char** e = environ; *e != nullptr; ++e) {
    if (Inherited(*e)) environment.emplace_back(*e);
  }
  environment.insert(environment.end(), env.begin(), env.end());
  for (const std::string& e : SanitizerEnvironment())
    environment.push_back(e);
  std::vector<char*> envp;
  for (std::string& e : environment)
    envp.push_back(e.data());
  envp.push_back(nullptr);
  std::vector<std::string> argv_text{TESSARYN_HACK_PATH};
  argv_text.insert(argv_text.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : argv_text)
    argv.push_back(a.data());
  argv.push_back(nullptr);

  int fds[2];
  if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  const int failed = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  stderr_fd_ = fds[0];
  if (failed != 0) throw std::runtime_error(std::string("cannot start ") + argv[0]);
  fcntl(stderr_fd_, F_SETFL, O_NONBLOCK);
}

HackProcess::~HackProcess() {
  if (Running()) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  close(stderr_fd_);
}

void HackProcess::Signal(int signal) const {
  kill(pid_, signal);
}

bool HackProcess::Running() {
  int status = 0;
  if (!status_ && waitpid(pid_, &status, WNOHANG) == pid_) status_ = status;
  return !status_;
}

std::optional<int> HackProcess::WaitForExit(int timeout_ms) {
  const auto deadline = After(timeout_ms);
  while (Running() && !Expired(deadline)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return status_;
}

std::string HackProcess::Stderr() {
  char buffer[4096];
  ssize_t n = 0;
  while ((n = read(stderr_fd_, buffer, sizeof buffer)) > 0)
    stderr_text_.append(buffer, n);
  return stderr_text_;
}

Window MapTestWindow(Display* display, int width, int height) {
  const int screen = DefaultScreen(display);
  const Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, width,
                                            height, 0, 0, BlackPixel(display, screen));
  XSelectInput(display, window, StructureNotifyMask | PropertyChangeMask);
  XMapWindow(display, window);
  XEvent event{};
  do {
    XNextEvent(display, &event);
  } while (event.type != MapNotify);
  return window;
}

bool WaitForProperty(Display* display, Window window, const char* property, HackProcess& hack,
                     int timeout_ms) {
  XWindowAttributes attributes{};
  XGetWindowAttributes(display, window, &attributes);
  XSelectInput(display, window, attributes.your_event_mask | PropertyChangeMask);
  const auto deadline = After(timeout_ms);
  while (!HasProperty(display, window, property)) {
    if (!hack.Running() || Expired(deadline)) return false;
    while (XPending(display) > 0) {
      XEvent event{};
      XNextEvent(display, &event);
    }
    pollfd p{ConnectionNumber(display), POLLIN, 0};
    poll(&p, 1, 100);
  }
  return true;
}

Image ReadWindow(Display* display, Window window) {
  XWindowAttributes attributes{};
  XGetWindowAttributes(display, window, &attributes);
  XImage* image =
      XGetImage(display, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
  Image picture{attributes.width, attributes.height, {}};
  if (image == nullptr) return picture;
  picture.rgb.reserve(static_cast<size_t>(attributes.width) * attributes.height * 3);
  for (int y = 0; y < attributes.height; ++y) {
    for (int x = 0; x < attributes.width; ++x) {
      const unsigned long pixel = XGetPixel(image, x, y);
      picture.rgb.push_back(static_cast<uint8_t>((pixel & image->red_mask) >> 16));
      picture.rgb.push_back(static_cast<uint8_t>((pixel & image->green_mask) >> 8));
      picture.rgb.push_back(static_cast<uint8_t>(pixel & image->blue_mask));
    }
  }
  XDestroyImage(image);
  return picture;
}

int ClientCount(Display* display) {
  int count = 0;
  XResClient* clients = nullptr;
  XResQueryClients(display, &count, &clients);
  if (clients != nullptr) XFree(clients);
  return count;
}

bool WaitForClientCount(Display* display, int count, int timeout_ms) {
  const auto deadline = After(timeout_ms);
  while (ClientCount(display) != count) {
    if (Expired(deadline)) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

std::string PictureDifference(const Image& got, const Image& expected) {
  if (got.width != expected.width || got.height != expected.height) {
    return "sizes differ: " + std::to_string(got.width) + "x" + std::to_string(got.height) +
           " against " + std::to_string(expected.width) + "x" + std::to_string(expected.height);
  }
  int differing = 0;
  int first = -1;
  for (size_t i = 0; i < got.rgb.size(); i += 3) {
    if (std::memcmp(&got.rgb[i], &expected.rgb[i], 3) != 0) {
      if (first < 0) first = static_cast<int>(i / 3);
      ++differing;
    }
  }
  if (differing == 0) return "";
  return std::to_string(differing) + " pixels differ, the first at (" +
         std::to_string(first % got.width) + ", " + std::to_string(first / got.width) + ")";
}
