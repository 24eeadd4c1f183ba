#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <array>
#include <cstdint>
#include <utility>

#include "base/ClockSource.h"
#include "base/RandomGenerator.h"
#include "glwindow/GlForm.h"
#include "scene/SceneState.h"
#include "settings/ClockSettings.h"
#include "settings/SettingsTable.h"
#include "settings/win32/PolicyStore.h"
#include "settings/win32/RegistryStore.h"
#include "settingswindow/ClockSync.h"
#include "settingswindow/ClockSyncCalls.h"
#include "ui/Controls.h"
#include "ui/GlPanel.h"
#include "ui/ToolTip.h"
#include "win32/WinHandles.h"

// Every system call the settings window makes that a test replaces, handed in whole
// when it is made: the full-screen window's, with the clock synchronisation's and the
// registry writes of "Save".
struct SettingsWindowCalls {
  DisplayNotifications display;
  RenderContextCalls gl;
  ClockSource clock;
  ClockSyncCalls sync;
  RegistryCalls registry;
};

// The system's own.
SettingsWindowCalls SystemSettingsWindowCalls();

// The settings window: the live clock above, six sliders, "Random", "Save" and "Clock
// synchronization" below. Every slider applies at once; only "Save" stores.
class TForm2 : public TGlForm {
 public:
  explicit TForm2(SettingsWindowCalls calls = SystemSettingsWindowCalls());

  static constexpr COLORREF kLabelColor = RGB(225, 190, 0);
  static constexpr int kClientWidth = 400;
  static constexpr int kClientHeight = 430;
  // The least space between "Save" and a widened "Clock synchronization", at 96 DPI.
  static constexpr int kButtonGap = 8;
  // Why a control does not move or a button does nothing.
  static constexpr char kSetByPolicyTip[] = "Set by your administrator";
  static constexpr char kSyncOffByPolicyTip[] = "Turned off by your administrator";
  static constexpr char kSyncNotInstalledTip[] =
      "Not installed: your administrator left the clock step out";

  // What the frames have left in the window's scene state.
  const SceneState& Scene() const { return scene_; }
  // What the sliders have set so far; "Save" stores it.
  const SettingsState& Settings() const { return settings_; }
  const TToolTip& Tips() const { return tips_; }

 private:
  // Set once the controls are made and bound: no handler runs on a half-made window.
  bool created_ = false;
  // The fonts go after the controls that show them.
  UniqueFont form_font_;
  UniqueFont bold_font_;

 public:
  static constexpr TTrackBar::Range Range(int32_t ClockSettings::*field) {
    return {SettingRowOf(field).low, SettingRowOf(field).high};
  }
  static constexpr const char* Label(int32_t ClockSettings::*field) {
    return SettingRowOf(field).label;
  }

  // The controls, made in their tab order. Each setting's range and label are its
  // table row's.
  TTrackBar TrackBar1{*this, {3, 327, 120, 10}, Range(&ClockSettings::Arrows), 1, 2, 1};
  TButton Button1{*this, {11, 376, 75, 17}, "Save"};
  TButton Button2{*this, {117, 376, 160, 17}, "Clock synchronization"};
  TStaticText StaticText1{*this, {10, 309, 52, 20}, Label(&ClockSettings::Arrows)};
  TTrackBar TrackBar2{*this, {3, 359, 120, 10}, Range(&ClockSettings::Ar_Color), 1, 2, 1};
  TTrackBar TrackBar3{*this, {136, 327, 120, 10}, Range(&ClockSettings::Sizes), 1, 2, 5};
  TTrackBar TrackBar4{*this, {136, 359, 120, 10}, Range(&ClockSettings::Color), 1, 2, 1};
  TTrackBar TrackBar5{*this, {270, 327, 120, 10}, Range(&ClockSettings::Alpha), 1, 2, 1};
  TStaticText StaticText2{*this, {10, 342, 93, 20}, Label(&ClockSettings::Ar_Color)};
  TStaticText StaticText3{*this, {143, 309, 84, 20}, Label(&ClockSettings::Sizes)};
  TStaticText StaticText4{*this, {143, 342, 33, 20}, Label(&ClockSettings::Color)};
  TStaticText StaticText5{*this, {277, 309, 74, 20}, Label(&ClockSettings::Alpha)};
  TTrackBar TrackBar6{*this, {270, 359, 120, 10}, Range(&ClockSettings::Brightness), 1, 2, 0};
  TStaticText StaticText6{*this, {277, 342, 78, 20}, Label(&ClockSettings::Brightness)};
  TCheckBox CheckBox1{*this, {10, 290, 97, 17}, Label(&ClockSettings::Rands)};
  // The clock is drawn here: a child window over the client area, below the controls.
  TGlPanel ClockArea{*this};

 protected:
  void FormActivate() override;
  void FormResize() override;
  void FormKeyDown(WORD key) override;
  void FormDpiChanged() override;
  bool PreviewMessage(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

 private:
  void BindHandlers();
  void FormCreate();
  void SizeAndCentre();
  bool SetupRenderContext();
  void SetSliderPositions();
  void MakeFonts();
  void FitSyncButton();
  // Policy-set controls: disabled where the policy put them, with the reason at hand.
  void LockPolicyControls();
  // Each slider with its setting, in the order their positions are set and read.
  std::array<std::pair<TTrackBar*, int32_t ClockSettings::*>, 6> Sliders();
  // The labels and the check box: bold, in the label colour.
  std::array<TWinControl*, 7> BoldTexts();
  Viewport ClockViewport() const;
  void TimerTimer(TTimer* sender) override;
  void DrawFrame() override;
  bool FrameShowing() const override;

  void TrackBar1Change(TTrackBar* sender);
  void TrackBar2Change(TTrackBar* sender);
  void TrackBar3Change(TTrackBar* sender);
  void TrackBar4Change(TTrackBar* sender);
  void TrackBar5Change(TTrackBar* sender);
  void TrackBar6Change(TTrackBar* sender);
  void CheckBox1Click(TCheckBox* sender);
  void Button1Click(TButton* sender);
  void Button2Click(TButton* sender);

  ClockSource clock_;
  RegistryCalls registry_;
  RandomGenerator random_;
  SettingsState settings_;
  SceneState scene_;
  // Read once, before the synchronisation that obeys them is made.
  const Policies policies_ = ReadPolicies();
  ClockSync sync_;
  TToolTip tips_{Handle()};
};
