#include "ui/Application.h"

#include <stdexcept>

#include "ui/Form.h"

namespace {

TApplication g_application;

// A form's keyboard preview and dialog keys see the message before its target does.
bool PreTranslate(MSG& msg) {
  TForm* form = TForm::FromHandle(GetAncestor(msg.hwnd, GA_ROOT));
  return form != nullptr && form->PreTranslateMessage(msg);
}

void Serve(MSG& msg) {
  if (!PreTranslate(msg)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace

TApplication& Application() {
  return g_application;
}

void TApplication::Initialize(HINSTANCE instance) {
  instance_ = instance != nullptr ? instance : GetModuleHandleA(nullptr);
  terminated_ = false;
}

void TApplication::SetMainForm(std::unique_ptr<TForm> form) {
  main_form_ = std::move(form);
}

void TApplication::Run() {
  if (!main_form_) {
    return;
  }
  MSG msg;
  while (!terminated_) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) {
      terminated_ = true;
      break;
    }
    Serve(msg);
  }
  main_form_.reset();
}

void TApplication::ProcessMessages() {
  const DWORD called = GetTickCount();
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      terminated_ = true;
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    Serve(msg);
    if (static_cast<LONG>(msg.time - called) > 0) {
      return;
    }
  }
}

void TApplication::Terminate() {
  if (!terminated_) {
    terminated_ = true;
    PostQuitMessage(0);
  }
}

void TApplication::ShowException(const std::exception& e) const {
  if (exception_handler_) {
    exception_handler_(e);
    return;
  }
  MessageBoxA(nullptr, e.what(), "Tessaryn", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

void TApplication::ShowSetupError(const std::string& text) const {
  if (exception_handler_) {
    exception_handler_(std::runtime_error(text));
    return;
  }
  MessageBoxA(nullptr, text.c_str(), "Error", MB_OK);
}

void TApplication::Reset() {
  main_form_.reset();
  terminated_ = false;
  MSG msg;
  // Drop a quit request left by the previous form so the next loop starts clean.
  while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}
