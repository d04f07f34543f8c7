; The Dwellmark installer: dwellmark.exe and its pointer file, a Start-menu
; shortcut and an uninstaller registered in "Apps & features".
;   makensis -DVERSION=x.y.z -DEXE=... -DCURSOR=... -DICON=... -DOUTFILE=... installer.nsi
; Installs for all users into Program Files, or with /CurrentUser for the
; current user only (no administrator rights); /S installs silently. An
; upgrade goes into the folder of the installed copy. Neither the installer
; nor the uninstaller changes anything while Dwellmark runs: interactively
; they ask for it to be closed, silently they end with status 3.
Unicode true
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma

!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Dwellmark"
; The class of the program's main window, which exists while it runs.
!define MAIN_WINDOW_CLASS "DwellmarkMain"
; The status of a run that stopped: Dwellmark runs, or a file of it could not
; be replaced or removed. It has changed nothing, or (an uninstall that failed
; after the exe) kept its entry so that it can be run again.
!define STATUS_STOPPED 3

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

Page directory "" "" checkNotRunning
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
            StrCpy $4 "$PROGRAMFILES64\Dwellmark"
        ${Else}
            Call installForCurrentUser
        ${EndIf}
    ${EndIf}
    ; An upgrade replaces the installed copy where it is, unless /D says otherwise.
    ReadRegStr $3 SHCTX "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $3 != ""
    ${AndIf} $INSTDIR == $4
        StrCpy $INSTDIR $3
    ${EndIf}
    Call checkNotRunning
FunctionEnd

!macro CHECK_NOT_RUNNING
    ${Do}
        FindWindow $R0 "${MAIN_WINDOW_CLASS}"
        ${If} $R0 == 0
            ${Break}
        ${EndIf}
        ${If} ${Silent}
            SetErrorLevel ${STATUS_STOPPED}
            Quit
        ${EndIf}
        ${If} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Dwellmark is running. Close it, then click Retry." IDCANCEL`
            SetErrorLevel ${STATUS_STOPPED}
            Quit
        ${EndIf}
    ${Loop}
!macroend

!macro STOP TEXT
    MessageBox MB_OK|MB_ICONSTOP "${TEXT}" /SD IDOK
    SetErrorLevel ${STATUS_STOPPED}
    Quit
!macroend

Function checkNotRunning
    !insertmacro CHECK_NOT_RUNNING
FunctionEnd

Function un.checkNotRunning
    !insertmacro CHECK_NOT_RUNNING
FunctionEnd

; $4: the default folder of the chosen context, which /D did not replace.
Function installForCurrentUser
    SetShellVarContext current
    ${If} $INSTDIR == "$PROGRAMFILES64\Dwellmark"
        StrCpy $INSTDIR "$LOCALAPPDATA\Programs\Dwellmark"
    ${EndIf}
    StrCpy $4 "$LOCALAPPDATA\Programs\Dwellmark"
FunctionEnd

Section "Dwellmark"
    SetOutPath "$INSTDIR"
    ; The exe first: when it is in use (by a copy whose window cannot be seen,
    ; another user's say), nothing has changed yet.
    ClearErrors
    File "/oname=dwellmark.exe" "${EXE}"
    ${If} ${Errors}
        !insertmacro STOP "$INSTDIR\dwellmark.exe is in use and cannot be replaced. Close Dwellmark and try again."
    ${EndIf}
    File "/oname=HAND-M.CUR" "${CURSOR}"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    ${If} ${Errors}
        !insertmacro STOP "Dwellmark could not be written to $INSTDIR."
    ${EndIf}
    CreateShortcut "$SMPROGRAMS\Dwellmark.lnk" "$INSTDIR\dwellmark.exe" "" "$INSTDIR\dwellmark.exe" 0
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "Dwellmark"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "Dwellmark"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\dwellmark.exe,0"
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
    Call un.checkNotRunning
FunctionEnd

Section "Uninstall"
    ; The program goes first: when it cannot, the rest stays, entry included,
    ; so that the uninstall can be run again.
    ClearErrors
    Delete "$INSTDIR\dwellmark.exe"
    ${If} ${Errors}
        !insertmacro STOP "$INSTDIR\dwellmark.exe could not be removed. Close Dwellmark and uninstall again."
    ${EndIf}
    ; Itself only when it runs from a copy, as it does unless started with _?=.
    Delete "$INSTDIR\uninstall.exe"
    ClearErrors
    Delete "$INSTDIR\HAND-M.CUR"
    Delete "$SMPROGRAMS\Dwellmark.lnk"
    ${If} ${Errors}
        !insertmacro STOP "Some of Dwellmark's files could not be removed. Uninstall again to remove them."
    ${EndIf}
    ; A folder that holds files of the user's own stays.
    RMDir "$INSTDIR"
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
