; The Windows installer of Pagewright, built on Linux with makensis:
;   makensis -DBINDIR=<folder with the .exe files> -DVERSION=x.y.z -DOUTFILE=<setup.exe> pagewright.nsi
; It puts the program and its three tools into one folder, adds a Start-menu
; entry, an uninstaller (also listed under installed programs) and the verb
; "Open with Pagewright" on .tif and .tiff files.

Unicode true
Target amd64-unicode  ; a 64-bit installer for a 64-bit program (and for a Wine without 32-bit support)
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!ifndef BINDIR
  !error "BINDIR must name the folder with pagewright.exe"
!endif
!ifndef VERSION
  !define VERSION "0.0.0"
!endif
!ifndef OUTFILE
  !define OUTFILE "pagewright-${VERSION}-setup.exe"
!endif

!define PRODUCT "Pagewright"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pagewright"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "Software\${PRODUCT}" "InstallDir"

!include "MUI2.nsh"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

!macro OpenWithVerb EXT
  WriteRegStr HKLM "Software\Classes\SystemFileAssociations\${EXT}\shell\Pagewright" "" "Open with Pagewright"
  WriteRegStr HKLM "Software\Classes\SystemFileAssociations\${EXT}\shell\Pagewright\command" "" '"$INSTDIR\pagewright.exe" -open "%1"'
  WriteRegStr HKLM "Software\Classes\Applications\pagewright.exe\SupportedTypes" "${EXT}" ""
!macroend

!macro RemoveOpenWithVerb EXT
  DeleteRegKey HKLM "Software\Classes\SystemFileAssociations\${EXT}\shell\Pagewright"
!macroend

Section "Pagewright"
  SetRegView 64
  SetShellVarContext all  ; the Start-menu entry for every user, like the program folder
  SetOutPath "$INSTDIR"
  File "${BINDIR}\pagewright.exe"
  File "${BINDIR}\pagewright-batch.exe"
  File "${BINDIR}\tiffinfo.exe"
  File "${BINDIR}\tiffcp.exe"
  File "${BINDIR}\tiffsplit.exe"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\pagewright.exe"

  WriteRegStr HKLM "Software\Classes\Applications\pagewright.exe" "FriendlyAppName" "${PRODUCT}"
  WriteRegStr HKLM "Software\Classes\Applications\pagewright.exe\shell\open\command" "" '"$INSTDIR\pagewright.exe" -open "%1"'
  !insertmacro OpenWithVerb ".tif"
  !insertmacro OpenWithVerb ".tiff"

  WriteRegStr HKLM "Software\${PRODUCT}" "InstallDir" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The Pagewright developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\pagewright.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetRegView 64
  SetShellVarContext all
  Delete "$INSTDIR\pagewright.exe"
  Delete "$INSTDIR\pagewright-batch.exe"
  Delete "$INSTDIR\tiffinfo.exe"
  Delete "$INSTDIR\tiffcp.exe"
  Delete "$INSTDIR\tiffsplit.exe"
  Delete "$INSTDIR\uninstall.exe"
  ; The settings the program keeps beside itself while its folder is writable.
  Delete "$INSTDIR\Pagewright.ini"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"

  ; The settings, profile and window place of the user who uninstalls.
  SetShellVarContext current
  RMDir /r "$APPDATA\${PRODUCT}"
  DeleteRegKey HKCU "Software\${PRODUCT}"
  SetShellVarContext all

  !insertmacro RemoveOpenWithVerb ".tif"
  !insertmacro RemoveOpenWithVerb ".tiff"
  DeleteRegKey HKLM "Software\Classes\Applications\pagewright.exe"
  DeleteRegKey HKLM "Software\${PRODUCT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
