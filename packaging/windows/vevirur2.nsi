; The Vevirur 2 setup program: finds the player's folder, puts vis_vevirur2.dll into its
; Plugins folder and registers an uninstaller in Add/Remove Programs.
;
;   makensis -DVERSION=2.0.0 -DARCH=x86 -DDLL=vis_vevirur2.dll -DLICENSE=LICENSE \
;            -DOUTFILE=vevirur2-setup.exe vevirur2.nsi
;
; ARCH x86 is the setup program users get (the player is a 32-bit program); ARCH amd64 wraps
; the x86_64 DLL in the same script for the tests under wine64.
; Command line: /S silent, /D=FOLDER the player's folder (last, unquoted), /FORCE install into
; a folder without winamp.exe even when silent.
; Exit codes: 0 installed, 1 cancelled, 2 no player in the folder (silent) or the copy failed.

!ifndef VERSION | DLL | LICENSE | OUTFILE
  !error "define VERSION, DLL, LICENSE and OUTFILE (see the top of this file)"
!endif
!ifndef ARCH
  !define ARCH x86
!endif

Unicode true
!if "${ARCH}" == "amd64"
  Target amd64-unicode
  !define PROGRAM_FILES "$PROGRAMFILES64"
!else if "${ARCH}" == "x86"
  Target x86-unicode
  !define PROGRAM_FILES "$PROGRAMFILES"
!else
  !error "ARCH must be x86 or amd64, not ${ARCH}"
!endif

!define PRODUCT "Vevirur 2"
!define PUBLISHER "Vevirur 2 developers"
!define PLUGIN_DLL "vis_vevirur2.dll"
!define SETTINGS_FILE "Vevirur2.ini"
!define UNINSTALLER "vis_vevirur2-uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vevirur2"
!define PLAYER_EXE "winamp.exe"

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

Name "${PRODUCT}"
OutFile "${OUTFILE}"
SetCompressor /SOLID lzma
RequestExecutionLevel admin
; Empty, so that .onInit can tell a folder given with /D= from none.
InstallDir ""
AllowSkipFiles off
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey ProductName "${PRODUCT}"
VIAddVersionKey FileDescription "${PRODUCT} setup"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey CompanyName "${PUBLISHER}"
VIAddVersionKey LegalCopyright "Copyright (c) the ${PUBLISHER}; MIT licence"

!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "This installs the ${PRODUCT} visualization plug-in ${VERSION} into Winamp.$\r$\n$\r$\nClose Winamp before you continue."
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!define MUI_DIRECTORYPAGE_TEXT_TOP "Setup puts ${PLUGIN_DLL} into the Plugins folder of the Winamp installation below. If Winamp lives elsewhere, choose its folder (the one holding ${PLAYER_EXE})."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "Winamp folder"
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE PlayerFolderLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "${PRODUCT} is installed. In Winamp open Preferences, Visualization, and pick $\"${PRODUCT}$\"."
!insertmacro MUI_PAGE_FINISH

!define MUI_COMPONENTSPAGE_TEXT_TOP "The settings file keeps the window place, the full-screen choices and the gamma level. Tick it to remove it too."
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Leaves in $0 the player's folder named by registry VALUE of KEY under ROOT, or "".
; An uninstall command ("...\UninstWA.exe", quoted or not) stands for its folder.
!macro PlayerFolderFromRegistry ROOT KEY VALUE
  ReadRegStr $0 ${ROOT} "${KEY}" "${VALUE}"
  ${If} "${VALUE}" == "UninstallString"
  ${AndIf} $0 != ""
    StrCpy $1 $0 1
    ${If} $1 == '"'
      StrCpy $0 $0 "" 1
      StrCpy $1 $0 1 -1
      ${If} $1 == '"'
        StrCpy $0 $0 -1
      ${EndIf}
    ${EndIf}
    ${GetParent} $0 $0
  ${EndIf}
!macroend

Function .onInit
  ${If} $INSTDIR == ""
    ; The player's own key, then its uninstall entry, then the usual place.
    !insertmacro PlayerFolderFromRegistry HKCU "Software\Winamp" ""
    ${IfNot} ${FileExists} "$0\${PLAYER_EXE}"
      !insertmacro PlayerFolderFromRegistry HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\Winamp" "UninstallString"
    ${EndIf}
    ${IfNot} ${FileExists} "$0\${PLAYER_EXE}"
      StrCpy $0 "${PROGRAM_FILES}\Winamp"
    ${EndIf}
    StrCpy $INSTDIR $0
  ${EndIf}

  ; A silent run has no directory page to ask on: without the player it stops unless /FORCE.
  ${If} ${Silent}
  ${AndIfNot} ${FileExists} "$INSTDIR\${PLAYER_EXE}"
    ${GetParameters} $1
    ClearErrors
    ${GetOptions} $1 "/FORCE" $2
    ${If} ${Errors}
      SetErrorLevel 2
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

Function PlayerFolderLeave
  ${IfNot} ${FileExists} "$INSTDIR\${PLAYER_EXE}"
    MessageBox MB_YESNO|MB_ICONEXCLAMATION|MB_DEFBUTTON2 \
      "There is no ${PLAYER_EXE} in$\r$\n$INSTDIR$\r$\n$\r$\nThe plug-in only works in Winamp's own folder. Install it there anyway?" \
      IDYES +2
    Abort
  ${EndIf}
FunctionEnd

Section "${PRODUCT}" SecPlugin
  SectionIn RO
  SetOutPath "$INSTDIR\Plugins"
  ClearErrors
  File "/oname=${PLUGIN_DLL}" "${DLL}"
  WriteUninstaller "$INSTDIR\Plugins\${UNINSTALLER}"
  ${If} ${Errors}
    SetErrorLevel 2
    Abort "Could not write into $INSTDIR\Plugins."
  ${EndIf}

  SectionGetSize ${SecPlugin} $0
  ${GetSize} "$INSTDIR\Plugins" "/M=${UNINSTALLER} /S=0K /G=0" $1 $2 $3
  IntOp $0 $0 + $1
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR\Plugins"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Plugins\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Plugins\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The uninstaller runs from the Plugins folder, so $INSTDIR is that folder.
Section "un.${PRODUCT}" UnSecPlugin
  SectionIn RO
  ; A player still running holds the DLL; then it goes at the next restart.
  Delete /REBOOTOK "$INSTDIR\${PLUGIN_DLL}"
  Delete "$INSTDIR\${UNINSTALLER}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

; Off by default, so a silent uninstall keeps the settings.
Section /o "un.Settings file (${SETTINGS_FILE})" UnSecSettings
  Delete "$INSTDIR\${SETTINGS_FILE}"
SectionEnd
