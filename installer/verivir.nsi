; The Verivir installer, one script for both architectures. tools/release runs:
;   makensis -DVERSION=1.17 -DARCH=x64|x86 -DBINDIR=dir -DICON=file -DOUTFILE=file [-DSIGN=cmd] verivir.nsi
; BINDIR holds Verivir.scr and Nuvora.exe of that architecture. SIGN, when given,
; is a command that signs the file it is given in place ("cmd FILE DESCRIPTION").
!macro Require NAME
  !ifndef ${NAME}
    !error "-D${NAME}=... is missing"
  !endif
!macroend
!insertmacro Require VERSION
!insertmacro Require ARCH
!insertmacro Require BINDIR
!insertmacro Require ICON
!insertmacro Require OUTFILE

!if "${ARCH}" == "x64"
  Target amd64-unicode
  !define PROGRAMS "$PROGRAMFILES64"
!else if "${ARCH}" == "x86"
  Target x86-unicode
  !define PROGRAMS "$PROGRAMFILES"
!else
  !error "ARCH must be x64 or x86"
!endif

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh
!include Sections.nsh
!include "${__FILEDIR__}/settings.nsh"

Name "Verivir ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "${PROGRAMS}\Verivir"
; An upgrade goes where the installed version lives.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails nevershow
ShowUninstDetails nevershow

!ifdef SIGN
  ; The uninstaller is signed before it goes into the installer, the installer last.
  !uninstfinalize '${SIGN} "%1" "Verivir ${VERSION} Uninstall"' = 0
  !finalize '${SIGN} "%1" "Verivir ${VERSION} Setup"' = 0
!endif

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "Verivir"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "Verivir ${VERSION} Setup (${ARCH})"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
; The finish page offers the Screen Saver settings, where the user sees the
; choice and can change it; silent installs show no pages and open nothing.
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Open the Screen Saver settings"
!define MUI_FINISHPAGE_RUN_FUNCTION OpenScreenSaverSettings
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishShow
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

Function .onInit
!if "${ARCH}" == "x86"
  ; A 32-bit Verivir.scr would land in SysWOW64, which the 64-bit Screen Saver
  ; control panel does not list: send the user to the installer that fits.
  ${If} ${RunningX64}
    MessageBox MB_OK|MB_ICONINFORMATION "This installer is for 32-bit Windows.$\r$\n$\r$\nThis Windows is 64-bit: please run VerivirSetup-${VERSION}-x64.exe instead." /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
!endif
FunctionEnd

Section "Verivir screen saver" SecProgram
  SectionIn RO
  ; Files are replaced without asking; the settings under HKCU are never touched.
  SetOverwrite on
  SetOutPath "$SYSDIR"
  File "${BINDIR}\Verivir.scr"
  SetOutPath "$INSTDIR"
  File "${BINDIR}\Nuvora.exe"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The About page starts "Nuvora.exe" without a folder: the shell finds it here.
  WriteRegStr HKLM "${APP_PATH_KEY}" "" "$INSTDIR\Nuvora.exe"
  WriteRegStr HKLM "${APP_PATH_KEY}" "Path" "$INSTDIR"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${DISPLAY_NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SYSDIR\Verivir.scr,0"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  ${GetSize} "$SYSDIR" "/M=Verivir.scr /S=0K /G=0" $3 $1 $2
  IntOp $0 $0 + $3
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Use Verivir as my screen saver" SecActivate
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$SYSDIR\Verivir.scr"
  ; The documented way to turn the saver on: it stores ScreenSaveActive and
  ; tells the running session, which a plain registry write would not.
  System::Call 'user32::SystemParametersInfo(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_STORE_AND_TELL})'
SectionEnd

Function FinishShow
  ${IfNot} ${SectionIsSelected} ${SecActivate}
    SendMessage $mui.FinishPage.Run ${BM_SETCHECK} ${BST_UNCHECKED} 0
  ${EndIf}
FunctionEnd

Function OpenScreenSaverSettings
  Exec '"$SYSDIR\control.exe" desk.cpl,,@screensaver'
FunctionEnd

Section "un.Verivir screen saver" SecUnProgram
  SectionIn RO
  Delete "$SYSDIR\Verivir.scr"
  Delete "$INSTDIR\Nuvora.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${APP_PATH_KEY}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  ; Another screen saver the user chose since stays chosen.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${GetFileName} "$0" $1
  ${If} $1 == "Verivir.scr"
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    System::Call 'user32::SystemParametersInfo(i ${SPI_SETSCREENSAVEACTIVE}, i 0, p 0, i ${SPIF_STORE_AND_TELL})'
  ${EndIf}
SectionEnd

Section /o "un.Remove my Verivir settings" SecUnSettings
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "${SETTINGS_PARENT_KEY}"
SectionEnd
