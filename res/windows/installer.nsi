; The Windows setup program and its uninstaller. Built by the Windows build:
;   makensis -DVERSION=3.3 -DBUILD=<build-win> -DLICENCE=<licence.txt> -DOUTFILE=<setup.exe> installer.nsi
; BUILD holds flurrix.scr, flurrix.dll, data\ and res\flurrix.ico.
Unicode true
; A 64-bit setup program: the product is 64-bit only, and this keeps the registry and the
; program-files folder free of the 32-bit redirection.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
!include x64.nsh

!define PRODUCT "Flurrix Screensaver"
!define MAKER "Corvantic"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define DESKTOP_KEY "Control Panel\Desktop"
; The folder where the screensaver looks for its engine when it runs from the Windows folder.
!define STANDARD_FOLDER "$PROGRAMFILES64\${MAKER}\${PRODUCT}"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "${STANDARD_FOLDER}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${MAKER}"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${MAKER}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (c) 2026 ${MAKER}"

!define MUI_ICON "${BUILD}\res\flurrix.ico"
!define MUI_UNICON "${BUILD}\res\flurrix.ico"
!define MUI_WELCOMEPAGE_TEXT "This will install ${PRODUCT} ${VERSION}, a 3D snowfall screensaver, on your computer.$\r$\n$\r$\nClick Next to continue."
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Open the screen saver settings"
!define MUI_FINISHPAGE_RUN_FUNCTION OpenScreenSaverSettings
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENCE}"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var Saver ; the .scr that the system's screensaver setting names

Section "${PRODUCT}" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${BUILD}\flurrix.scr"
  File "${BUILD}\flurrix.dll"
  SetOutPath "$INSTDIR\data"
  File /r "${BUILD}\data\*.*"
  SetOutPath "$INSTDIR"

  ; The system lists the screensavers of the Windows folder. A copy there finds its engine in the
  ; standard folder only; in any other folder the setting names the installed program itself.
  ${If} "$INSTDIR" == "${STANDARD_FOLDER}"
    CopyFiles /SILENT "$INSTDIR\flurrix.scr" "$WINDIR\flurrix.scr"
    StrCpy $Saver "$WINDIR\flurrix.scr"
  ${Else}
    StrCpy $Saver "$INSTDIR\flurrix.scr"
  ${EndIf}

  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${MAKER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\flurrix.scr,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "ScreenSaver" "$Saver"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Make it the current screensaver" SecCurrent
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$Saver"
SectionEnd

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} needs a 64-bit version of Windows.$\r$\n$\r$\nThis computer runs a 32-bit Windows, so it cannot be installed here." /SD IDOK
    Abort
  ${EndIf}
  SetRegView 64
  ; Silent installs leave the user's screensaver alone unless /SCREENSAVER asks for it.
  ${If} ${Silent}
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/SCREENSAVER" $1
    ${If} ${Errors}
      !insertmacro UnselectSection ${SecCurrent}
    ${EndIf}
  ${EndIf}
FunctionEnd

Function OpenScreenSaverSettings
  Exec '"$SYSDIR\control.exe" desk.cpl,,@screensaver'
FunctionEnd

Section "un.${PRODUCT}" UnSecProgram
  SectionIn RO
  ; The program's own uninstall page comes first, while the program is still there.
  ${IfNot} ${Silent}
    ExecWait '"$INSTDIR\flurrix.scr" /u'
  ${EndIf}

  ReadRegStr $Saver HKLM "${UNINSTALL_KEY}" "ScreenSaver"
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${GetFileName} "$0" $1
  ${If} $1 == "flurrix.scr"
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${EndIf}
  ${If} "$Saver" == "$WINDIR\flurrix.scr"
    Delete "$WINDIR\flurrix.scr"
  ${EndIf}

  Delete "$INSTDIR\flurrix.scr"
  Delete "$INSTDIR\flurrix.dll"
  RMDir /r "$INSTDIR\data"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  RMDir "$PROGRAMFILES64\${MAKER}" ; only when nothing else is left in it
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

Section /o "un.Also remove my settings and picture library" UnSecSettings
  SetShellVarContext current
  RMDir /r "$APPDATA\${MAKER}\${PRODUCT}"
  RMDir "$APPDATA\${MAKER}"
SectionEnd

Function un.onInit
  SetRegView 64
FunctionEnd
