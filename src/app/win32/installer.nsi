; The Dwellmark installer: dwellmark.exe and its pointer file, a Start-menu
; shortcut and an uninstaller registered in "Apps & features".
;   makensis -DVERSION=x.y.z -DEXE=... -DCURSOR=... -DICON=... -DOUTFILE=... installer.nsi
; Installs for all users into Program Files, or with /CurrentUser for the
; current user only (no administrator rights); /S installs silently. There is
; one installed copy: an upgrade goes into its folder, and when another folder
; is chosen the copy is uninstalled first; an install for all users does the
; same with the current user's own copy, and an install for the current user
; stops where there is one for all users. Neither the installer nor the
; uninstaller changes anything while Dwellmark runs: interactively they ask
; for it to be closed, silently they end with status 3. The registered quiet
; uninstall runs in place (_?=), so that its status is its own.
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

; 1 when this install is for all users.
Var allUsers
; The folders that "Apps & features" names for the copy installed for all
; users and for the current user, empty where there is none.
Var machineCopy
Var userCopy
; 1 when an installer runs the uninstaller to replace the copy: the installer
; removes the uninstaller and the folder.
Var forUpgrade

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

; $4: the default folder of the chosen context, which /D did not replace.
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
            StrCpy $allUsers 1
            StrCpy $4 "$PROGRAMFILES64\Dwellmark"
        ${Else}
            Call installForCurrentUser
        ${EndIf}
    ${EndIf}
    ReadRegStr $machineCopy HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ReadRegStr $userCopy HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $allUsers == 1
        StrCpy $3 $machineCopy
    ${Else}
        ; Every user has that copy already; a second one of the user's own
        ; would be a second entry and shortcut, and only an administrator can
        ; replace it.
        ${If} $machineCopy != ""
            !insertmacro STOP "Dwellmark is installed for all users in $machineCopy. To upgrade it, run the setup as an administrator, without /CurrentUser."
        ${EndIf}
        StrCpy $3 $userCopy
    ${EndIf}
    ; An upgrade goes into the installed copy's folder, unless /D says otherwise.
    ${If} $3 != ""
    ${AndIf} $INSTDIR == $4
        StrCpy $INSTDIR $3
    ${EndIf}
    Call checkNotRunning
FunctionEnd

Section "Dwellmark"
    ; The installed copy that this one replaces goes first, so that there is
    ; one entry, one shortcut and one uninstaller: this scope's when it is in
    ; another folder, and for all users the current user's own, wherever it is.
    ${If} $allUsers == 1
        ${If} $machineCopy != ""
        ${AndIf} $machineCopy != $INSTDIR
            Push $machineCopy
            Call removeCopy
        ${EndIf}
        ${If} $userCopy != ""
            Push $userCopy
            Call removeCopy
            ; Gone with the copy, unless its uninstaller was gone already.
            DeleteRegKey HKCU "${UNINSTALL_KEY}"
            SetShellVarContext current
            Delete "$SMPROGRAMS\Dwellmark.lnk"
            SetShellVarContext all
        ${EndIf}
    ${ElseIf} $userCopy != ""
        ${If} $userCopy != $INSTDIR
            Push $userCopy
            Call removeCopy
        ${EndIf}
    ${EndIf}
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
    ; In place: started from a copy of itself, as it is otherwise, it would
    ; end at once with status 0, whatever that copy does.
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S _?=$INSTDIR'
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Uninstalls the copy in the folder on the stack with its own uninstaller, in
; place so that its status is its own, and stops when nothing was removed.
; A folder without an uninstaller has nothing left to remove. Changes $R2.
Function removeCopy
    Exch $R1
    ${If} ${FileExists} "$R1\uninstall.exe"
        ClearErrors
        ExecWait '"$R1\uninstall.exe" /S /ForUpgrade _?=$R1' $R2
        ${If} ${Errors}
        ${OrIf} $R2 != 0
            !insertmacro STOP "The installed copy of Dwellmark in $R1 could not be removed. Uninstall it, then run the setup again."
        ${EndIf}
        Delete "$R1\uninstall.exe"
        RMDir "$R1"
    ${EndIf}
    Pop $R1
FunctionEnd

Function un.onInit
    ${un.GetParameters} $0
    ClearErrors
    ${un.GetOptions} $0 "/RemoveUninstaller" $1
    ${IfNot} ${Errors}
        Call un.removeUninstaller
    ${EndIf}
    ClearErrors
    ${un.GetOptions} $0 "/ForUpgrade" $1
    ${IfNot} ${Errors}
        StrCpy $forUpgrade 1
    ${EndIf}
    ; Installed for the current user when its own registry's entry names this folder.
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 == $INSTDIR
        SetShellVarContext current
    ${Else}
        SetShellVarContext all
    ${EndIf}
    Call un.checkNotRunning
FunctionEnd

; The uninstall that ran in place could not remove its own exe: this copy of
; it, started by that one from the temporary folder, waits until the exe can
; go (its process has ended), then removes it and the folder, and nothing else.
Function un.removeUninstaller
    ; The limit only keeps a copy whose exe never goes from waiting for ever.
    ${For} $1 1 600
        ClearErrors
        Delete "$INSTDIR\uninstall.exe"
        ${IfNot} ${Errors}
            ${Break}
        ${EndIf}
        Sleep 100
    ${Next}
    RMDir "$INSTDIR"
    Quit
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
    ${If} ${Errors}
        !insertmacro STOP "Some of Dwellmark's files could not be removed. Uninstall again to remove them."
    ${EndIf}
    ; The entry and the shortcut are those of the copy the entry names; a copy
    ; in another folder (left by an upgrade of an older version) leaves them
    ; to the installed one.
    ReadRegStr $0 SHCTX "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 == $INSTDIR
        ClearErrors
        Delete "$SMPROGRAMS\Dwellmark.lnk"
        ${If} ${Errors}
            !insertmacro STOP "Dwellmark's Start-menu shortcut could not be removed. Uninstall again to remove it."
        ${EndIf}
        DeleteRegKey SHCTX "${UNINSTALL_KEY}"
    ${EndIf}
    ; A folder that holds files of the user's own stays.
    RMDir "$INSTDIR"
    ${If} $EXEDIR == $INSTDIR
    ${AndIf} $forUpgrade != 1
        Exec '"$INSTDIR\uninstall.exe" /S /RemoveUninstaller'
    ${EndIf}
SectionEnd
