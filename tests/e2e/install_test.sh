#!/usr/bin/env bash
# install_test.sh BUILD-DIR
# Installs the build into a scratch prefix and packs it as a .deb, then checks
# that both hold the program with its pointer file beside it, the link in bin/,
# the desktop entry and the icon.
set -u
build=$1
scratch=$(mktemp -d "${TMPDIR:-/tmp}/dwellmark-install.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
fail() {
    echo "install_test: $*" >&2
    exit 1
}

expected=(
    bin/dwellmark
    libexec/dwellmark/dwellmark
    libexec/dwellmark/HAND-M.CUR
    share/applications/dwellmark.desktop
    share/icons/hicolor/scalable/apps/dwellmark.svg
    share/gnome-shell/extensions/dwellmark@dwellmark.org/metadata.json
    share/gnome-shell/extensions/dwellmark@dwellmark.org/extension.js
)

cmake --install "$build" --prefix "$scratch/prefix" >/dev/null || fail "cmake --install failed"
for file in "${expected[@]}"; do
    [ -e "$scratch/prefix/$file" ] || fail "not installed: $file"
done
[ -L "$scratch/prefix/bin/dwellmark" ] || fail "bin/dwellmark is not a link"
[ "$(readlink -f "$scratch/prefix/bin/dwellmark")" = "$(readlink -f "$scratch/prefix/libexec/dwellmark/dwellmark")" ] ||
    fail "bin/dwellmark does not lead to the program"
cmp -s "$scratch/prefix/libexec/dwellmark/HAND-M.CUR" "$(dirname "$0")/../../data/HAND-M.CUR" ||
    fail "the installed pointer file differs from data/HAND-M.CUR"
entry="$scratch/prefix/share/applications/dwellmark.desktop"
grep -qx "Exec=$scratch/prefix/bin/dwellmark" "$entry" || fail "the desktop entry does not run the installed program by its path"
grep -qx 'X-KDE-Wayland-Interfaces=org_kde_plasma_window_management' "$entry" ||
    fail "the desktop entry does not ask KWin for its window list"

if command -v dpkg-deb >/dev/null; then
    (cd "$build" && cpack -G DEB -B "$scratch/package" >/dev/null) || fail "cpack -G DEB failed"
    deb=$(ls "$scratch"/package/*.deb 2>/dev/null | head -n1)
    [ -n "$deb" ] || fail "cpack made no .deb"
    contents=$(dpkg-deb -c "$deb")
    for file in "${expected[@]}"; do
        grep -q "\./usr/$file" <<<"$contents" || fail "not in the package: /usr/$file"
    done
    dpkg-deb -f "$deb" Depends | grep -q 'libqt6charts6' || fail "the package does not depend on Qt Charts"
fi
