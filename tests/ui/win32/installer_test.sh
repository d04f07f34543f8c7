#!/usr/bin/env bash
# installer_test.sh SETUP.EXE VERSION PACKED.EXE OTHER-PROGRAM.EXE
# Under Wine (run by tests/support/win32/with-wine, on the caller's DISPLAY): a silent per-user
# install into a scratch folder of the packed exe, the installed program starts
# and shows its window; while it runs, neither an install over it (silent or
# cancelled) nor the registered quiet uninstall changes anything and both say
# so by their status; it ends on close; nor while the installed exe is in use
# by a program whose window it cannot see; an upgrade replaces the files where
# they are; an upgrade into another folder moves the copy there; the
# uninstaller of a copy left in another folder leaves the installed copy's
# entry and shortcut; an install for all users takes the place of the user's
# own copy, and a per-user install then stops and says so; the registered
# quiet uninstall leaves nothing behind.
set -u
setup=$1
version=$2
packed=$3
other_program=$4
fail() {
    echo "installer_test: $*" >&2
    exit 1
}
# Waits for a condition with a limit that only catches hangs.
wait_for() {
    for _ in $(seq 1 600); do
        if eval "$1"; then
            return 0
        fi
        sleep 0.1
    done
    return 1
}

scratch=$(mktemp -d "${TMPDIR:-/tmp}/dwellmark-install.XXXXXX")
target="$scratch/Dwellmark"
user_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Dwellmark'
machine_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Dwellmark'
windows_folder() {
    winepath -u "$(wine cmd /c "echo %$1%" 2>/dev/null | tr -d '\r')"
}
programs='Microsoft/Windows/Start Menu/Programs/Dwellmark.lnk'
# Where a per-user install goes without /D.
user_default="$(windows_folder LOCALAPPDATA)/Programs/Dwellmark"
user_menu="$(windows_folder APPDATA)/$programs"
machine_menu="$(windows_folder ProgramData)/$programs"
# The scope the checks look at: the current user's at first.
key=$user_key
menu=$user_menu
other_key=$machine_key
other_menu=$machine_menu
# The prefix is shared by every run: no install of an interrupted run stays.
forget_installs() {
    wine reg delete "$user_key" /f >/dev/null 2>&1
    wine reg delete "$machine_key" /f >/dev/null 2>&1
    rm -f "$user_menu" "$machine_menu"
    # Only ever inside the prefix.
    case $user_default in "$WINEPREFIX"/*) rm -rf "$user_default" ;; esac
}
forget_installs
trap 'forget_installs; rm -rf "$scratch"' EXIT

wine "$setup" /S /CurrentUser "/D=$(winepath -w "$target")" || fail "the installer ended with status $?"
for file in dwellmark.exe HAND-M.CUR uninstall.exe; do
    [ -f "$target/$file" ] || fail "$file was not installed"
done
[ -f "$menu" ] || fail "no Start-menu shortcut at $menu"
wine reg query "$key" /v UninstallString >/dev/null 2>&1 || fail "no uninstall entry in $key"
# The value of the entry, as reg prints it.
entry() {
    wine reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 *REG_[A-Z_]* *//p"
}
# Runs the quiet uninstall that the entry registers, as a deployment tool does; its status is the uninstall's.
quiet_uninstall() {
    local command program arguments
    command=$(entry QuietUninstallString)
    program=${command#\"}
    program=${program%%\"*}
    # Split at spaces: the scratch folder's path has none.
    read -r -a arguments <<<"${command#\"$program\"}"
    wine "$program" "${arguments[@]}"
}
# What an install or uninstall that fails must leave as it was, in both scopes.
installed_state() {
    (cd "$target" && find . -type f -exec md5sum {} + | sort)
    wine reg query "$key" 2>/dev/null | tr -d '\r'
    wine reg query "$other_key" 2>/dev/null | tr -d '\r'
    [ -f "$menu" ] && echo "shortcut"
    [ -f "$other_menu" ] && echo "shortcut of the other scope"
}
check_installed() {
    cmp -s "$target/dwellmark.exe" "$packed" || fail "$1: the installed exe is not the packed release build"
    [ "$(entry DisplayVersion)" = "$version" ] || fail "$1: Apps & features shows version '$(entry DisplayVersion)'"
    [ "$(entry InstallLocation)" = "$(winepath -w "$target")" ] || fail "$1: installed into $(entry InstallLocation)"
    # The shortcut starts the installed exe (a shell link keeps its target's path as text).
    grep -qaF "$(winepath -w "$target")\\dwellmark.exe" "$menu" || fail "$1: the Start-menu shortcut starts another exe"
    if wine reg query "$other_key" >/dev/null 2>&1; then
        fail "$1: a second entry, in $other_key"
    fi
    [ ! -e "$other_menu" ] || fail "$1: a second Start-menu shortcut, $other_menu"
}
check_installed "install"

wine "$target/dwellmark.exe" &
program=$!
wait_for 'xdotool search --onlyvisible --name "^Dwellmark\$" >/dev/null 2>&1' || {
    kill "$program" 2>/dev/null
    fail "the installed program showed no window"
}

before=$(installed_state)
# $1 of what ran, its status $2: it must have failed and changed nothing.
check_unchanged() {
    [ "$2" -ne 0 ] || fail "$1 ended with status 0"
    after=$(installed_state)
    [ "$after" = "$before" ] || fail "$1 changed the installed copy:
$(diff <(echo "$before") <(echo "$after"))"
}
wine "$setup" /S /CurrentUser "/D=$(winepath -w "$target")"
check_unchanged "a silent install while the program runs" $?
quiet_uninstall
check_unchanged "the registered quiet uninstall while the program runs" $?
# Interactively the installer asks for the program to be closed; Cancel changes nothing.
wine "$setup" /CurrentUser "/D=$(winepath -w "$target")" &
setup_run=$!
wait_for 'box=$(xdotool search --onlyvisible --name "^Dwellmark Setup\$" 2>/dev/null | head -1); [ -n "$box" ]' ||
    fail "the installer did not ask for the running program to be closed"
wait_for 'xdotool windowactivate --sync "$box" key Escape >/dev/null 2>&1; ! kill -0 $setup_run 2>/dev/null' ||
    fail "the installer's question did not end with Cancel"
wait "$setup_run"
check_unchanged "an install cancelled while the program runs" $?
wine taskkill /IM dwellmark.exe >/dev/null 2>&1
wait "$program"
status=$?
[ "$status" -eq 0 ] || fail "the installed program ended with status $status"

# An exe in use whose window says nothing (a copy another user runs, say).
cp "$other_program" "$target/dwellmark.exe"
wine "$target/dwellmark.exe" "Dwellmark of another user" &
other=$!
wait_for 'xdotool search --onlyvisible --name "^Dwellmark of another user\$" >/dev/null 2>&1' ||
    fail "the exe in use showed no window"
before=$(installed_state)
wine "$setup" /S /CurrentUser "/D=$(winepath -w "$target")"
check_unchanged "a silent install with the exe in use" $?
quiet_uninstall
check_unchanged "the registered quiet uninstall with the exe in use" $?
wine taskkill /IM dwellmark.exe >/dev/null 2>&1
wait "$other"

# An older copy, upgraded by an install that names no folder: the same folder, one entry.
wine reg add "$key" /v DisplayVersion /d 0.0.1 /f >/dev/null 2>&1
printf 'an older build' >>"$target/dwellmark.exe"
wine "$setup" /S /CurrentUser || fail "the upgrade ended with status $?"
check_installed "upgrade"

# Another folder chosen for the upgrade: the copy moves there, with its entry and shortcut.
old=$target
target="$scratch/Elsewhere"
wine "$setup" /S /CurrentUser "/D=$(winepath -w "$target")" || fail "the upgrade into another folder ended with status $?"
check_installed "upgrade into another folder"
[ ! -e "$old" ] || fail "the upgrade into another folder left the old copy: $(find "$old")"

# A copy left in another folder (by an older version's upgrade) is uninstalled
# without the installed copy's entry and shortcut, in either scope.
check_left_copy_uninstalled() {
    cp -r "$target" "$scratch/Left"
    before=$(installed_state)
    wine "$scratch/Left/uninstall.exe" /S || fail "$1: the uninstaller of the copy left behind ended with status $?"
    # It runs on from a copy of itself, and ends later.
    wait_for '[ ! -e "$scratch/Left" ]' || fail "$1: the copy left behind stayed: $(find "$scratch/Left")"
    [ "$(installed_state)" = "$before" ] || fail "$1: the uninstaller of the copy left behind changed the installed copy"
}
check_left_copy_uninstalled "for the current user"

# A normal install, for all users (Wine's user is an administrator), takes the
# place of the current user's own copy.
old=$target
target="$scratch/AllUsers"
key=$machine_key
menu=$machine_menu
other_key=$user_key
other_menu=$user_menu
wine "$setup" /S "/D=$(winepath -w "$target")" || fail "the install for all users ended with status $?"
check_installed "install for all users over the user's own copy"
[ ! -e "$old" ] || fail "the install for all users left the user's own copy: $(find "$old")"
check_left_copy_uninstalled "for all users"
# An install for the current user then stops: the copy for all users is that user's too.
before=$(installed_state)
wine "$setup" /S /CurrentUser
check_unchanged "an install for the current user over a copy for all users" $?
[ ! -e "$user_default" ] || fail "an install for the current user over a copy for all users wrote $user_default"

quiet_uninstall || fail "the registered quiet uninstall ended with status $?"
# It has its own exe removed by a copy of itself that runs on after it.
wait_for '[ ! -e "$target" ]' || fail "left behind: $(find "$target")"
[ -z "$(ls -A "$scratch")" ] || fail "left behind in the scratch folder: $(ls -A "$scratch")"
for shortcut in "$menu" "$other_menu"; do
    [ ! -e "$shortcut" ] || fail "the Start-menu shortcut $shortcut is still there"
done
for entry_key in "$key" "$other_key"; do
    if wine reg query "$entry_key" >/dev/null 2>&1; then
        fail "the uninstall entry $entry_key is still there"
    fi
done
echo "installer_test: installed, refused to change a running copy, upgraded in place and into another folder," \
    "left the installed copy to itself, moved it to all users, uninstalled quietly without a trace"
