#!/usr/bin/env bash
# installer_test.sh SETUP.EXE
# Under Wine (run by tests/support/win32/with-wine, on the caller's DISPLAY): a silent per-user
# install into a scratch folder, the installed program starts and shows its
# window and ends on close, and a silent uninstall leaves nothing behind.
set -u
setup=$1
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

wine "$target/dwellmark.exe" &
program=$!
wait_for 'xdotool search --onlyvisible --name "^Dwellmark\$" >/dev/null 2>&1' || {
    kill "$program" 2>/dev/null
    fail "the installed program showed no window"
}
wine taskkill /IM dwellmark.exe >/dev/null 2>&1
wait "$program"
status=$?
[ "$status" -eq 0 ] || fail "the installed program ended with status $status"

wine "$target/uninstall.exe" /S
# The uninstaller runs on from a copy of itself, and ends later.
wait_for '[ ! -e "$target" ]' || fail "left behind: $(find "$target")"
[ -z "$(ls -A "$scratch")" ] || fail "left behind in the scratch folder: $(ls -A "$scratch")"
[ ! -e "$menu" ] || fail "the Start-menu shortcut is still there"
if wine reg query "$key" >/dev/null 2>&1; then
    fail "the uninstall entry is still there"
fi
echo "installer_test: installed, started, ended with 0, uninstalled without a trace"
