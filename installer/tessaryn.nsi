; Tessaryn's setup program: one installer carrying the 32-bit and the 64-bit
; tessaryn.scr, which puts the one that fits the running Windows where Windows looks
; for screensavers, registers an uninstaller and, on request, makes Tessaryn the
; active screensaver. Built by tools/package/package.sh, which defines:
;   VERSION (a.b.c), SCR32, SCR64, CLOCK32, CLOCK64, README, LICENSE, ICON, OUTFILE
; Each tessaryn.scr goes with the tessaryn-clock.exe of its build, in the same folder:
; the settings window runs it elevated to set the clock.
;
; Command line: /S silent; /ACTIVATE makes Tessaryn the active screensaver in a silent
; install (the page offers it otherwise); /32 installs the 32-bit build on 64-bit
; Windows too (into SysWOW64), for a machine whose 64-bit OpenGL fails.

Unicode true
SetCompressor /SOLID lzma
; Reproducible: the files carry no times of their own (an install dates them itself).
SetDateSave off
; A signed release signs the uninstaller before it is packed: UNINSTFINALIZE is the
; command, %1 the uninstaller's path.
!ifdef UNINSTFINALIZE
  !uninstfinalize '${UNINSTFINALIZE}'
!endif

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "x64.nsh"

!define PRODUCT "Tessaryn"
!define PUBLISHER "Tessaryn"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaryn"
; Per user: the screensaver that was active before Tessaryn, restored on removal. Not
; under the saver's own key: the saver takes that key, once it exists, to hold all its
; settings, and refuses to start without them.
!define SETUP_KEY "Software\TessarynSetup"
!define DESKTOP_KEY "Control Panel\Desktop"
; The Windows Installer packages' UpgradeCode (installer/msi/tessaryn.wxs), for ever.
!define MSI_UPGRADE_CODE "{AF0AB21B-82A3-4F07-A62A-726D493A63AB}"

; The manifest Windows reads: the same Windows 7 to 11 list as the programs', crisp on a
; high-DPI screen, and no processor named where NSIS's stub says "*" (the side-by-side
; loader compares a named one with the program's; blanked in place, so its length and
; the header's layout stay as they were).
ManifestSupportedOS Win7 Win8 Win8.1 Win10
ManifestDPIAware true
!packhdr "exehead.tmp" 'sh exehead-manifest.sh exehead.tmp'

Name "${PRODUCT}"
OutFile "${OUTFILE}"
; Writes into the system folder: a per-machine install needs an administrator.
RequestExecutionLevel admin
InstallDir "$PROGRAMFILES\${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT} analog clock screensaver"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var Use32Bit

; --- Where the screensaver goes ---------------------------------------------------

; The system folder of the build's bitness; on 64-bit Windows the caller has turned
; the file system redirection off, so $WINDIR\System32 is the 64-bit one.
!macro SaverFolder result
  ${If} ${RunningX64}
  ${AndIf} $Use32Bit == 0
    StrCpy ${result} "$WINDIR\System32"
  ${ElseIf} ${RunningX64}
    StrCpy ${result} "$WINDIR\SysWOW64"
  ${Else}
    StrCpy ${result} "$WINDIR\System32"
  ${EndIf}
!macroend

; Sets ${result} to 1 when the active screensaver is a Tessaryn, by its file name: the
; display dialog may have stored a short name, which is made long first.
!macro IsTessarynActive result
  StrCpy ${result} 0
  ReadRegStr $R5 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} $R5 != ""
    ${DisableX64FSRedirection}
    System::Call 'kernel32::GetLongPathNameW(w R5, w .R6, i ${NSIS_MAX_STRLEN}) i .R7'
    ${EnableX64FSRedirection}
    ${If} $R7 == 0
      StrCpy $R6 $R5
    ${EndIf}
    ${GetFileName} $R6 $R6
    ${If} $R6 == "tessaryn.scr"
      StrCpy ${result} 1
    ${EndIf}
  ${EndIf}
!macroend


Section "Tessaryn screensaver" SecSaver
  SectionIn RO
  ${DisableX64FSRedirection}
  !insertmacro SaverFolder $0
  SetOutPath $0
  ; A change of build leaves one Tessaryn in the list, not two.
  ${If} ${RunningX64}
  ${AndIf} $Use32Bit == 0
    File "/oname=tessaryn.scr" "${SCR64}"
    File "/oname=tessaryn-clock.exe" "${CLOCK64}"
    Delete "$WINDIR\SysWOW64\tessaryn.scr"
    Delete "$WINDIR\SysWOW64\tessaryn-clock.exe"
  ${ElseIf} ${RunningX64}
    File "/oname=tessaryn.scr" "${SCR32}"
    File "/oname=tessaryn-clock.exe" "${CLOCK32}"
    Delete "$WINDIR\System32\tessaryn.scr"
    Delete "$WINDIR\System32\tessaryn-clock.exe"
  ${Else}
    File "/oname=tessaryn.scr" "${SCR32}"
    File "/oname=tessaryn-clock.exe" "${CLOCK32}"
  ${EndIf}
  ${EnableX64FSRedirection}
  ; An active Tessaryn follows its file when the build changes.
  !insertmacro IsTessarynActive $1
  ${If} $1 == 1
    WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$0\tessaryn.scr"
  ${EndIf}

  SetOutPath $INSTDIR
  File "/oname=README.md" "${README}"
  File "/oname=LICENSE.txt" "${LICENSE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} analog clock screensaver"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$0\tessaryn.scr,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "ScreenSaverPath" "$0\tessaryn.scr"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" 1024
SectionEnd

; --- The active screensaver -------------------------------------------------------


Section "Make Tessaryn the active screensaver" SecActivate
  !insertmacro SaverFolder $0
  !insertmacro IsTessarynActive $1
  ; Installing again must not remember Tessaryn itself as the one to go back to.
  ${If} $1 == 0
    ReadRegStr $2 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ReadRegStr $3 HKCU "${DESKTOP_KEY}" "ScreenSaveActive"
    WriteRegStr HKCU "${SETUP_KEY}" "PreviousScreenSaver" $2
    WriteRegStr HKCU "${SETUP_KEY}" "PreviousScreenSaveActive" $3
  ${EndIf}
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$0\tessaryn.scr"
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
SectionEnd

; Runs before the pages; placed after the sections, whose names it uses.
Function .onInit
  ; Where no elevation prompt exists (or it was refused) a plain user would fail late,
  ; at the system folder: stop before anything is written.
  UserInfo::GetAccountType
  Pop $R2
  ${If} $R2 != "admin"
    MessageBox MB_ICONSTOP "Installing Tessaryn needs an administrator." /SD IDOK
    SetErrorLevel 740
    Quit
  ${EndIf}
  ; One Tessaryn per machine: a package's is the administrator's, changed with msiexec.
  ; Windows Installer itself says whether one is installed, whatever its bitness.
  System::Call '$SYSDIR\msi.dll::MsiEnumRelatedProductsW(w "${MSI_UPGRADE_CODE}", i 0, i 0, w .R3) i .R4'
  ${If} $R4 == 0
    MessageBox MB_ICONSTOP "Tessaryn is installed on this computer from its Windows Installer package. Remove it with$\r$\n    msiexec /x $R3$\r$\nor change it with msiexec and a newer package." /SD IDOK
    SetErrorLevel 1638
    Quit
  ${EndIf}
  ${GetParameters} $R0
  StrCpy $Use32Bit 0
  ClearErrors
  ${GetOptions} $R0 "/32" $R1
  ${IfNot} ${Errors}
    StrCpy $Use32Bit 1
  ${EndIf}
  ${If} ${RunningX64}
    SetRegView 64
    StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
  ${EndIf}
  ; A silent install changes the active screensaver only when asked to.
  ${If} ${Silent}
    ClearErrors
    ${GetOptions} $R0 "/ACTIVATE" $R1
    ${If} ${Errors}
      !insertmacro UnselectSection ${SecActivate}
    ${EndIf}
  ${EndIf}
FunctionEnd

; --- Removal ----------------------------------------------------------------------

Function un.onInit
  UserInfo::GetAccountType
  Pop $R2
  ${If} $R2 != "admin"
    MessageBox MB_ICONSTOP "Removing Tessaryn needs an administrator." /SD IDOK
    SetErrorLevel 740
    Quit
  ${EndIf}
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
FunctionEnd

; Puts back the screensaver that was active before Tessaryn, when Tessaryn is still
; the active one; a screensaver the user has chosen since stays.
Function un.RestoreScreenSaver
  !insertmacro IsTessarynActive $1
  ClearErrors
  ReadRegStr $2 HKCU "${SETUP_KEY}" "PreviousScreenSaver"
  ${If} ${Errors}
    ; Tessaryn was made active by hand, not by this setup: leave no dangling entry.
    ${If} $1 == 1
      DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${EndIf}
    Return
  ${EndIf}
  ReadRegStr $3 HKCU "${SETUP_KEY}" "PreviousScreenSaveActive"
  ${If} $1 == 1
    ${If} $2 == ""
      DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${Else}
      WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $2
    ${EndIf}
    ${If} $3 == ""
      DeleteRegValue HKCU "${DESKTOP_KEY}" "ScreenSaveActive"
    ${Else}
      WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" $3
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Call un.RestoreScreenSaver
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "ScreenSaverPath"
  ${DisableX64FSRedirection}
  ${If} $0 != ""
    Delete /REBOOTOK $0
  ${EndIf}
  ; Either build may have been installed on this Windows at some time.
  Delete /REBOOTOK "$WINDIR\System32\tessaryn.scr"
  Delete /REBOOTOK "$WINDIR\System32\tessaryn-clock.exe"
  ${If} ${RunningX64}
    Delete /REBOOTOK "$WINDIR\SysWOW64\tessaryn.scr"
    Delete /REBOOTOK "$WINDIR\SysWOW64\tessaryn-clock.exe"
  ${EndIf}
  ${EnableX64FSRedirection}
  ; The settings and the setup's memory of the user who removes it.
  DeleteRegKey HKCU "Software\Tessaryn"
  DeleteRegKey HKCU "${SETUP_KEY}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\README.md"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
