#include "settingswindow/Settings.h"

#include <array>
#include <cmath>
#include <utility>
#include <vector>

#include "scene/Background.h"
#include "scene/FrameInputs.h"
#include "scene/SceneFrames.h"
#include "scene/SceneState.h"
#include "settings/ClockSettings.h"
#include "settings/DialStyle.h"
#include "settings/SettingsTable.h"
#include "windowsetup/WindowSetup.h"
#include "settings/win32/RegistryStore.h"
#include "settingswindow/SettingsSave.h"
#include "settingswindow/ShieldButton.h"
#include "ui/Application.h"

namespace {

FormDescription Description() {
  FormDescription d;
  d.caption = "Tessaryn Settings";
  // A fixed single border, with the system menu and a minimise box.
  d.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  d.ex_style = WS_EX_APPWINDOW;
  d.width = TForm2::kClientWidth;
  d.height = TForm2::kClientHeight;
  d.black_background = true;
  d.key_preview = true;
  d.dialog_keys = true;
  // Unlike the saver, this window leaves Alt+F4 and the system menu's keys to the system.
  d.system_keys = true;
  return d;
}

// Halves round to the even neighbour, as the default rounding mode does.
int CentredOrigin(int screen, int client) {
  return static_cast<int>(std::nearbyint((screen - client) / 2.0));
}

UniqueFont MakeSansSerif(int height, int weight) {
  return UniqueFont(CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH | FF_SWISS, "MS Sans Serif"));
}

}  // namespace

SettingsWindowCalls SystemSettingsWindowCalls() {
  return {SystemDisplayNotifications(), RenderContextCalls{}, SystemClockSource(),
          SystemClockSyncCalls(), SystemRegistryCalls()};
}

TForm2::TForm2(SettingsWindowCalls calls)
    : TGlForm(Description(), std::move(calls.display), calls.gl),
      clock_(std::move(calls.clock)),
      registry_(std::move(calls.registry)),
      random_(clock_),
      sync_(*this, Timer, Button2.Handle(), std::move(calls.sync), policies_) {
  BindHandlers();
  created_ = true;
  MakeFonts();
  FitSyncButton();
  FormCreate();
  StartFrames();
}

void TForm2::BindHandlers() {
  TrackBar1.OnChange.Bind([this](TTrackBar* s) { TrackBar1Change(s); });
  TrackBar2.OnChange.Bind([this](TTrackBar* s) { TrackBar2Change(s); });
  TrackBar3.OnChange.Bind([this](TTrackBar* s) { TrackBar3Change(s); });
  TrackBar4.OnChange.Bind([this](TTrackBar* s) { TrackBar4Change(s); });
  TrackBar5.OnChange.Bind([this](TTrackBar* s) { TrackBar5Change(s); });
  TrackBar6.OnChange.Bind([this](TTrackBar* s) { TrackBar6Change(s); });
  CheckBox1.OnClick.Bind([this](TCheckBox* s) { CheckBox1Click(s); });
  Button1.OnClick.Bind([this](TButton* s) { Button1Click(s); });
  Button2.OnClick.Bind([this](TButton* s) { Button2Click(s); });
}

void TForm2::MakeFonts() {
  form_font_ = MakeSansSerif(Scaled(-11), FW_NORMAL);
  bold_font_ = MakeSansSerif(Scaled(-13), FW_BOLD);
  for (TWinControl* c : Controls()) {
    c->SetFont(form_font_.get());
  }
  for (TWinControl* c : BoldTexts()) {
    c->SetFont(bold_font_.get());
  }
  Button1.SetFont(bold_font_.get());
  Button2.SetFont(bold_font_.get());
}

void TForm2::FitSyncButton() {
  // Only the shield needs more room than the designed size, scaled, which the button
  // keeps without it. It grows to the left, up to a gap after "Save".
  if (!sync_.ShowsShield()) {
    return;
  }
  RECT save{};
  GetWindowRect(Button1.Handle(), &save);
  MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&save), 2);
  FitShieldButton(Button2.Handle(), Dpi(), save.right + Scaled(kButtonGap));
}

std::array<TWinControl*, 7> TForm2::BoldTexts() {
  return {&CheckBox1,   &StaticText1, &StaticText2, &StaticText3,
          &StaticText4, &StaticText5, &StaticText6};
}

void TForm2::FormCreate() {
  const LoadedSettings loaded = LoadSettings(SettingsLoader::SettingsWindow, registry_);
  settings_.clock = loaded.settings;
  // The administrator's values go over the user's, who still keeps them stored.
  settings_.policy = policies_.settings;
  ApplySettingChoices(settings_.clock, settings_.policy);
  ShowFailures(loaded.failures);
  const int32_t rands = settings_.clock.Rands;
  if (rands == 0 || rands == 1) {
    CheckBox1.SetChecked(rands == 1);
  }
  SizeAndCentre();
  SettingsSceneBeforeContext(settings_, scene_);
  if (!SetupRenderContext()) {
    return;
  }
  SettingsSceneBeforeControls(settings_, random_);
  for (TWinControl* c : BoldTexts()) {
    c->SetColors(kLabelColor, RGB(0, 0, 0));
  }
  SetSliderPositions();
  LockPolicyControls();
  SettingsSceneAfterControls(settings_, scene_);
  sync_.ClearCountdowns();
}

void TForm2::SizeAndCentre() {
  SetClientSize(Scaled(kClientWidth), Scaled(kClientHeight));
  SetBounds(0, 0, Scaled(kClientWidth), Scaled(kClientHeight));
  RECT client{};
  GetClientRect(Handle(), &client);
  SetBounds(CentredOrigin(GetSystemMetrics(SM_CXSCREEN), client.right),
            CentredOrigin(GetSystemMetrics(SM_CYSCREEN), client.bottom), Width(), Height());
}

bool TForm2::SetupRenderContext() {
  return SetupContext(ClockArea.Handle(), ClockViewport(), std::nullopt, scene_.LightLevel);
}

std::array<std::pair<TTrackBar*, int32_t ClockSettings::*>, 6> TForm2::Sliders() {
  return {{
      {&TrackBar1, &ClockSettings::Arrows},
      {&TrackBar2, &ClockSettings::Ar_Color},
      {&TrackBar3, &ClockSettings::Sizes},
      {&TrackBar4, &ClockSettings::Color},
      {&TrackBar5, &ClockSettings::Alpha},
      {&TrackBar6, &ClockSettings::Brightness},
  }};
}

void TForm2::SetSliderPositions() {
  // A slider's change handler runs for each move, so the order is the dial's draws'.
  for (const auto& [slider, field] : Sliders()) {
    slider->SetPosition(settings_.clock.*field);
  }
}

void TForm2::LockPolicyControls() {
  std::vector<std::pair<TWinControl*, int32_t ClockSettings::*>> bound;
  for (const auto& [slider, field] : Sliders()) {
    bound.emplace_back(slider, field);
  }
  bound.emplace_back(&CheckBox1, &ClockSettings::Rands);
  for (const auto& [control, field] : bound) {
    if (settings_.policy[SettingIndex(field)]) {
      EnableWindow(control->Handle(), FALSE);
      tips_.AddControl(control->Handle(), kSetByPolicyTip);
    }
  }
  switch (sync_.Refused()) {
    case ClockSync::Refusal::ByPolicy:
      tips_.AddControl(Button2.Handle(), kSyncOffByPolicyTip);
      break;
    case ClockSync::Refusal::NoClockStep:
      tips_.AddControl(Button2.Handle(), kSyncNotInstalledTip);
      break;
    case ClockSync::Refusal::None:
      break;
  }
}

Viewport TForm2::ClockViewport() const {
  // The strip's margins are pixels at 96 DPI; the window's own size is already scaled.
  const Viewport at96 = SettingsViewport(Width(), Height());
  return {at96.x, Scaled(at96.y), at96.width, Height() - Scaled(Height() - at96.height)};
}

void TForm2::FormActivate() {
  // Every activation makes a new pair current; the earlier pair is released first.
  if (created_ && !Closed()) {
    SetupRenderContext();
  }
}

void TForm2::FormResize() {
  // Before the context exists (while the window is sized at creation), and while the
  // window is minimised, there is no clock to lay out.
  if (created_ && Context().Rc() != nullptr && !IsIconic(Handle())) {
    SetupCamera(ClockViewport(), 1.0f);
  }
}

void TForm2::FormDpiChanged() {
  MakeFonts();
  for (TWinControl* c : Controls()) {
    c->ApplyBounds();
  }
  FitSyncButton();
  tips_.Refresh();
  FormResize();
}

void TForm2::FormKeyDown(WORD key) {
  if (key == VK_ESCAPE) {
    Context().Release();
    Close();
  }
}

bool TForm2::PreviewMessage(UINT msg, WPARAM /*wparam*/, LPARAM /*lparam*/, LRESULT& /*result*/) {
  if (!created_) {
    return false;
  }
  if (msg == WM_SIZE) {
    ClockArea.FillClientArea();
  }
  if (msg == WM_MOVE || msg == WM_SIZE) {
    sync_.OwnerMoved();
  }
  return false;
}

void TForm2::TimerTimer(TTimer* sender) {
  TGlForm::TimerTimer(sender);
  sync_.StatusStep();
}

bool TForm2::FrameShowing() const {
  return !IsIconic(Handle());
}

void TForm2::DrawFrame() {
  // The lights follow Brightness.
  const int32_t light_level = settings_.clock.Brightness;
  DrawSettingsScene(ReadFrameInputs(settings_, light_level, clock_.LocalNow()),
                    {scene_, SceneObjects(), random_});
}

void TForm2::TrackBar1Change(TTrackBar* sender) {
  settings_.clock.Arrows = sender->Position();
}

void TForm2::TrackBar2Change(TTrackBar* sender) {
  settings_.clock.Ar_Color = sender->Position();
  ApplyHandColor(settings_.HandRGB, settings_.clock.Ar_Color);
}

void TForm2::TrackBar3Change(TTrackBar* sender) {
  settings_.clock.Sizes = sender->Position();
  scene_.DigitScale = static_cast<float>(sender->Position() / 20.0 + 1.0);
}

void TForm2::TrackBar4Change(TTrackBar* sender) {
  const int32_t style = sender->Position();
  settings_.clock.Color = style;
  scene_.DialMeshReady = false;
  // The style initialises now, into the back buffer that the next frame clears.
  if (ShowsDial(style) && Context().Rc() != nullptr) {
    DrawDialFace(style, settings_.DialRGB, scene_, random_, SceneObjects().Batch);
  }
}

void TForm2::TrackBar5Change(TTrackBar* sender) {
  settings_.clock.Alpha = sender->Position();
  ApplyDialColor(settings_.DialRGB, settings_.clock.Alpha);
}

void TForm2::TrackBar6Change(TTrackBar* sender) {
  // The lights follow at the next frame.
  settings_.clock.Brightness = sender->Position();
}

void TForm2::CheckBox1Click(TCheckBox* sender) {
  // Random picks come at the next start, not now.
  settings_.clock.Rands = sender->Checked() ? 1 : 0;
}

void TForm2::Button1Click(TButton*) {
  ClockSettings& s = settings_.clock;
  for (const auto& [slider, field] : Sliders()) {
    s.*field = slider->Position();
  }
  // A policy-set value is the administrator's, not the user's: the stored one stays.
  SaveSettings(s, settings_.policy, registry_);
}

void TForm2::Button2Click(TButton*) {
  sync_.Button2Click();
}
