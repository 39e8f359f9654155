; Tunewright's installer: the program in Program Files, a Start-menu shortcut, the capture effect registered for
; every user, "Open with Tunewright" for MIDI and karaoke files (never their default program), and Uninstall.exe
; in Windows' list of programs. scripts/lib/make-packages runs it as
;   makensis -DVERSION=1.0.0 -DARCH=win32|win64 -DSTAGE=<folder> -DFILES=<files.nsh> -DSIZE_KB=n -DOUTFILE=<exe>
; where files.nsh lists the staged files as InstallFiles and RemoveFiles macros.
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh

!if ${ARCH} == win64
  Target amd64-unicode
  !define PRODUCT_TITLE "Tunewright (64-bit)"
  InstallDir "$PROGRAMFILES64\Tunewright"
!else
  Target x86-unicode
  !define PRODUCT_TITLE "Tunewright"
  InstallDir "$PROGRAMFILES\Tunewright"
!endif

!define PUBLISHER "The Tunewright developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT_TITLE}"
!define APP_KEY "Software\Classes\Applications\Tunewright.exe"
!define PROGID "Tunewright.MidiFile"
!define PROGID_KEY "Software\Classes\${PROGID}"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT_TITLE}.lnk"

Name "${PRODUCT_TITLE} ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT_TITLE} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "Tunewright"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT_TITLE} ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}"

!define MUI_ICON "${STAGE}\Tunewright.ico"
!define MUI_UNICON "${STAGE}\Tunewright.ico"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

!include "${FILES}"

Function .onInit
!if ${ARCH} == win64
  SetRegView 64
!endif
  SetShellVarContext all
FunctionEnd

Function un.onInit
!if ${ARCH} == win64
  SetRegView 64
!endif
  SetShellVarContext all
FunctionEnd

; "Open with" for one extension: our ProgID among its alternatives, its default program left as it is.
!macro OfferOpenWith EXT
  WriteRegStr HKLM "Software\Classes\${EXT}\OpenWithProgids" "${PROGID}" ""
  WriteRegStr HKLM "${APP_KEY}\SupportedTypes" "${EXT}" ""
!macroend

; Takes our ProgID out of an extension's alternatives; the keys go only when nothing else is left in them.
!macro WithdrawOpenWith EXT
  DeleteRegValue HKLM "Software\Classes\${EXT}\OpenWithProgids" "${PROGID}"
  DeleteRegKey /ifempty HKLM "Software\Classes\${EXT}\OpenWithProgids"
  DeleteRegKey /ifempty HKLM "Software\Classes\${EXT}"
!macroend

Section "Tunewright"
  SetOutPath "$INSTDIR"
  !insertmacro InstallFiles
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; The installed copy, never the one in the installer's temporary folder.
  ClearErrors
  RegDLL "$INSTDIR\OrvaDMOFilter.dll"
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONEXCLAMATION "The capture effect $\"$INSTDIR\OrvaDMOFilter.dll$\" could not be registered. Tunewright will try again when it starts." /SD IDOK
  ${EndIf}

  CreateShortcut "${SHORTCUT}" "$INSTDIR\Tunewright.exe" "" "$INSTDIR\Tunewright.exe" 0 SW_SHOWNORMAL "" \
      "MIDI player and MIDI-to-WAV/MP3 converter"

  WriteRegStr HKLM "${APP_KEY}" "FriendlyAppName" "Tunewright"
  WriteRegStr HKLM "${APP_KEY}\shell\open\command" "" '"$INSTDIR\Tunewright.exe" "%1"'
  WriteRegStr HKLM "${PROGID_KEY}" "" "MIDI file (Tunewright)"
  WriteRegStr HKLM "${PROGID_KEY}\DefaultIcon" "" "$INSTDIR\Tunewright.exe,-205"
  WriteRegStr HKLM "${PROGID_KEY}\shell\open\command" "" '"$INSTDIR\Tunewright.exe" "%1"'
  !insertmacro OfferOpenWith ".mid"
  !insertmacro OfferOpenWith ".midi"
  !insertmacro OfferOpenWith ".kar"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT_TITLE}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tunewright.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}

  ; Explorer reads the new "Open with" entries at once.
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Section "Uninstall"
  ; Unregistered while the DLL is still there; what a user made (settings, converted files) stays.
  UnRegDLL "$INSTDIR\OrvaDMOFilter.dll"
  !insertmacro RemoveFiles
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"

  Delete "${SHORTCUT}"
  !insertmacro WithdrawOpenWith ".mid"
  !insertmacro WithdrawOpenWith ".midi"
  !insertmacro WithdrawOpenWith ".kar"
  DeleteRegKey HKLM "${PROGID_KEY}"
  DeleteRegKey HKLM "${APP_KEY}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
