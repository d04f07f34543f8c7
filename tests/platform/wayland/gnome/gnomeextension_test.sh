#!/usr/bin/env bash
# gnomeextension_test.sh BUILT-EXTENSIONS SOURCE-DIR WITH-PRIVATE-BUS
# Checks the two built variants of Dwellmark's GNOME Shell extension: the
# GNOME 45 one is an ES module without GJS's imports and works when GJS loads
# it as GNOME Shell 45 does (gnomeextension_check.js); the GNOME 42 one has no
# module statements; their metadata names the same extension for disjoint
# GNOME versions. Then that choose-extension links GNOME Shell's place for the
# extension to the variant that the GNOME Shell found loads. (The variant
# that the installed GNOME Shell loads runs in a real one in wayland_gnome_tests.)
set -u
built=$1
source_dir=$2
# Runs a command on a private session bus (tests/support/process).
with_private_bus=$3
scratch=$(mktemp -d "${TMPDIR:-/tmp}/dwellmark-gnome-extension.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
fail() {
    echo "gnomeextension_test: $*" >&2
    exit 1
}
uuid=dwellmark@dwellmark.org
legacy=$built/42/$uuid
esm=$built/45/$uuid

grep -q '"uuid": "dwellmark@dwellmark.org"' "$legacy/metadata.json" || fail "the GNOME 42 variant is not $uuid"
grep -q '"uuid": "dwellmark@dwellmark.org"' "$esm/metadata.json" || fail "the GNOME 45 variant is not $uuid"
grep -q '"shell-version": \["42", "43", "44"\]' "$legacy/metadata.json" || fail "the GNOME 42 variant is not for 42-44"
grep -q '"shell-version": \["45",' "$esm/metadata.json" || fail "the GNOME 45 variant is not for 45 on"
if grep -n 'imports\.' "$esm/extension.js"; then
    fail "the GNOME 45 variant uses GJS's imports, which GNOME 45 refuses"
fi
if grep -nE '^(import|export) ' "$legacy/extension.js"; then
    fail "the GNOME 42 variant has module statements, which GNOME 42-44 cannot load"
fi
for variant in "$legacy" "$esm"; do
    grep -q 'class FocusService' "$variant/extension.js" || fail "no FocusService in $variant/extension.js"
    if grep -n '@FOCUS_SERVICE@' "$variant/extension.js"; then
        fail "the placeholder is left in $variant/extension.js"
    fi
done

shell_extension="'resource:///org/gnome/shell/extensions/extension.js'"
grep -q "$shell_extension" "$esm/extension.js" || fail "the GNOME 45 variant does not import GNOME Shell's Extension"
sed "s|$shell_extension|'./shellextension.js'|" "$esm/extension.js" >"$scratch/extension.js"
echo 'export class Extension { constructor(metadata) { this.metadata = metadata; } }' >"$scratch/shellextension.js"
cp "$source_dir/tests/platform/wayland/gnome/gnomeextension_check.js" "$scratch/"
(cd "$scratch" && "$with_private_bus" gjs -m gnomeextension_check.js) || fail "the GNOME 45 variant fails in GJS"

# choose-extension by the version that gnome-shell reports; none at all is
# taken for an older one, and a folder that is not its link stays.
tools=$scratch/tools
mkdir -p "$tools"
for tool in sed mkdir ln; do
    ln -s "$(command -v $tool)" "$tools/$tool"
done
for case in "GNOME Shell 43.9:42" "GNOME Shell 45.0:45" "GNOME Shell 47.2:45" ":42"; do
    said=${case%:*}
    expected=${case##*:}
    rm -f "$tools/gnome-shell"
    if [ -n "$said" ]; then
        printf '#!/bin/sh\necho "%s"\n' "$said" >"$tools/gnome-shell"
        chmod +x "$tools/gnome-shell"
    fi
    data=$scratch/data
    PATH=$tools /bin/sh "$source_dir/data/gnome-shell/choose-extension" "$data" || fail "choose-extension failed"
    link=$(readlink "$data/gnome-shell/extensions/$uuid")
    [ "$link" = "../../dwellmark/gnome-shell/$expected/$uuid" ] ||
        fail "with '${said:-no gnome-shell}' the extension leads to '$link', not the GNOME $expected variant"
done
rm "$data/gnome-shell/extensions/$uuid"
mkdir "$data/gnome-shell/extensions/$uuid"
PATH=$tools /bin/sh "$source_dir/data/gnome-shell/choose-extension" "$data" 2>/dev/null || fail "choose-extension failed"
[ -d "$data/gnome-shell/extensions/$uuid" ] && [ ! -L "$data/gnome-shell/extensions/$uuid" ] ||
    fail "choose-extension replaced a folder that was not its link"
echo "gnomeextension_test: both variants and the choice between them are sound"
