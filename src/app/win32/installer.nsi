; The Dwellmark installer: dwellmark.exe and its pointer file, a Start-menu
; shortcut and an uninstaller registered in "Apps & features".
;   makensis -DVERSION=x.y.z -DEXE=... -DCURSOR=... -DICON=... -DOUTFILE=... installer.nsi
; Installs for all users into Program Files, or with /CurrentUser for the
; current user only (no administrator rights); /S installs silently.
Unicode true
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma

!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Dwellmark"

Name "Dwellmark"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$PROGRAMFILES64\Dwellmark"
; Administrators are asked to elevate for the install into Program Files;
; other users get the per-user install.
RequestExecutionLevel highest
ShowInstDetails nevershow
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Dwellmark"
VIAddVersionKey "FileDescription" "Dwellmark installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "Dwellmark"
VIAddVersionKey "LegalCopyright" "Dwellmark developers"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/CurrentUser" $1
    ${IfNot} ${Errors}
        Call installForCurrentUser
    ${Else}
        UserInfo::GetAccountType
        Pop $2
        ${If} $2 == "Admin"
            SetShellVarContext all
        ${Else}
            Call installForCurrentUser
        ${EndIf}
    ${EndIf}
FunctionEnd

Function installForCurrentUser
    SetShellVarContext current
    ${If} $INSTDIR == "$PROGRAMFILES64\Dwellmark"
        StrCpy $INSTDIR "$LOCALAPPDATA\Programs\Dwellmark"
    ${EndIf}
FunctionEnd

Section "Dwellmark"
    SetOutPath "$INSTDIR"
    File "/oname=dwellmark.exe" "${EXE}"
    File "/oname=HAND-M.CUR" "${CURSOR}"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Dwellmark.lnk" "$INSTDIR\dwellmark.exe"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "Dwellmark"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "Dwellmark"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\dwellmark.exe"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
    ; Installed for the current user when its own registry holds the entry.
    ClearErrors
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${If} ${Errors}
        SetShellVarContext all
    ${Else}
        SetShellVarContext current
    ${EndIf}
FunctionEnd

Section "Uninstall"
    Delete "$INSTDIR\dwellmark.exe"
    Delete "$INSTDIR\HAND-M.CUR"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Dwellmark.lnk"
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
