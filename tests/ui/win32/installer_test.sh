#!/usr/bin/env bash
# installer_test.sh SETUP.EXE VERSION PACKED.EXE OTHER-PROGRAM.EXE
# Under Wine (run by tests/support/win32/with-wine, on the caller's DISPLAY): a silent per-user
# install into a scratch folder of the packed exe, the installed program starts
# and shows its window; while it runs, neither an install over it (silent or
# cancelled) nor an uninstall changes anything and both say so by their status;
# it ends on close; nor while the installed exe is in use by a program whose
# window it cannot see; an upgrade replaces the files where they are; and a
# silent uninstall leaves nothing behind.
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
trap 'rm -rf "$scratch"' EXIT
target="$scratch/Dwellmark"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Dwellmark'
menu=$(winepath -u "$(wine cmd /c 'echo %APPDATA%' 2>/dev/null | tr -d '\r')")"/Microsoft/Windows/Start Menu/Programs/Dwellmark.lnk"

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
# What an install or uninstall that fails must leave as it was.
installed_state() {
    (cd "$target" && find . -type f -exec md5sum {} + | sort)
    wine reg query "$key" 2>/dev/null | tr -d '\r'
    [ -f "$menu" ] && echo "shortcut"
}
check_installed() {
    cmp -s "$target/dwellmark.exe" "$packed" || fail "$1: the installed exe is not the packed release build"
    [ "$(entry DisplayVersion)" = "$version" ] || fail "$1: Apps & features shows version '$(entry DisplayVersion)'"
    [ "$(entry InstallLocation)" = "$(winepath -w "$target")" ] || fail "$1: installed into $(entry InstallLocation)"
    if wine reg query "${key/HKCU/HKLM}" >/dev/null 2>&1; then
        fail "$1: a second entry for all users"
    fi
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
    [ "$(installed_state)" = "$before" ] || fail "$1 changed the installed copy"
}
wine "$setup" /S /CurrentUser "/D=$(winepath -w "$target")"
check_unchanged "a silent install while the program runs" $?
# In place (_?=), the uninstaller's status is its own, not that of the copy it starts.
wine "$target/uninstall.exe" /S "_?=$(winepath -w "$target")"
check_unchanged "a silent uninstall while the program runs" $?
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
wine "$target/uninstall.exe" /S "_?=$(winepath -w "$target")"
check_unchanged "a silent uninstall with the exe in use" $?
wine taskkill /IM dwellmark.exe >/dev/null 2>&1
wait "$other"

# An older copy, upgraded by an install that names no folder: the same folder, one entry.
wine reg add "$key" /v DisplayVersion /d 0.0.1 /f >/dev/null 2>&1
printf 'an older build' >>"$target/dwellmark.exe"
wine "$setup" /S /CurrentUser || fail "the upgrade ended with status $?"
check_installed "upgrade"

wine "$target/uninstall.exe" /S
# The uninstaller runs on from a copy of itself, and ends later.
wait_for '[ ! -e "$target" ]' || fail "left behind: $(find "$target")"
[ -z "$(ls -A "$scratch")" ] || fail "left behind in the scratch folder: $(ls -A "$scratch")"
[ ! -e "$menu" ] || fail "the Start-menu shortcut is still there"
if wine reg query "$key" >/dev/null 2>&1; then
    fail "the uninstall entry is still there"
fi
echo "installer_test: installed, refused to change a running copy, upgraded in place, uninstalled without a trace"
