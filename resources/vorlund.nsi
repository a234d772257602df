; The Windows installer: vorlund.exe under Program Files, a Start menu entry, and an uninstaller
; registered in Add/Remove Programs. The user's selections under HKCU\Software\vlund are never
; touched, on install or on removal.
; makensis -DVERSION=1.0.0 -DPROGRAM=<vorlund.exe> -DICON=<vorlund.ico> -DOUTFILE=<setup.exe>
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\vorlund"

Name "vorlund"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$PROGRAMFILES64\vorlund"
ShowInstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "vorlund"
VIAddVersionKey /LANG=1033 "FileDescription" "vorlund setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "vorlund maintainers"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "vorlund"
    SetRegView 64
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    File "/oname=vorlund.exe" "${PROGRAM}"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\vorlund.lnk" "$INSTDIR\vorlund.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "vorlund"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "vorlund maintainers"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vorlund.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetRegView 64
    SetShellVarContext all
    Delete "$SMPROGRAMS\vorlund.lnk"
    Delete "$INSTDIR\vorlund.exe"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
