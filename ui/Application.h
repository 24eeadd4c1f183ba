#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

class TForm;

// The application object: owns the main form, runs the message loop, and shows
// exceptions that escape an event handler.
class TApplication {
 public:
  using ExceptionHandler = std::function<void(const std::exception&)>;

  void Initialize(HINSTANCE instance);
  HINSTANCE Instance() const { return instance_; }

  // The form becomes the main window; the loop runs until the application terminates.
  void SetMainForm(std::unique_ptr<TForm> form);
  TForm* MainForm() const { return main_form_.get(); }

  // Serves messages until Terminate; returns at once without a main form.
  void Run();
  // Serves the messages pending when it is called and returns; it stops after the first
  // message newer than the call, so that a timer whose handler takes longer than its
  // interval (a frame on a slow machine) cannot keep it from returning. A WM_QUIT found
  // here is put back for the outer loop.
  void ProcessMessages();
  void Terminate();
  bool Terminated() const { return terminated_; }

  // Shows the exception's text in an error box, or hands it to the replacement handler.
  void ShowException(const std::exception& e) const;
  // A window set-up's error box: caption "Error", one OK button, no owner; or the
  // replacement handler, as for exceptions.
  void ShowSetupError(const std::string& text) const;
  void SetExceptionHandler(ExceptionHandler handler) { exception_handler_ = std::move(handler); }

  // Ends the loop and drops the main form; for tests that run several forms in turn.
  void Reset();

 private:
  HINSTANCE instance_ = nullptr;
  std::unique_ptr<TForm> main_form_;
  bool terminated_ = false;
  ExceptionHandler exception_handler_;
};

TApplication& Application();

// Runs an event handler, handing an escaping exception to the application's handler:
// the one policy for every handler, since exceptions must not unwind through the
// platform's window procedures and none may be lost.
template <typename Body>
void GuardHandler(Body&& body) {
  try {
    body();
  } catch (const std::exception& e) {
    Application().ShowException(e);
  } catch (...) {
    Application().ShowException(std::runtime_error("Unknown exception"));
  }
}
