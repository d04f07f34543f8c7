#!/usr/bin/env bash
# install_test.sh BUILD-DIR VERSION
# Installs the build into a scratch prefix and packs it as a .deb, then checks
# that both hold the program with its pointer file beside it, the link in bin/,
# the desktop entry, the icon, the software-centre entry, the manual page,
# the package's papers, and both variants of the GNOME Shell extension with a
# link to one of them and the package's script that chooses it; that the
# software-centre entry validates and the .deb passes lintian without errors
# (when appstreamcli and lintian are there); and that the newest release each
# of them names is the version being built.
set -u
build=$1
version=$2
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d "${TMPDIR:-/tmp}/dwellmark-install.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
# The packaging tools keep their caches in the home folder (cpack makes
# ~/.cache): here they get one of the scratch folder's.
export HOME="$scratch/home"
unset XDG_CACHE_HOME XDG_CONFIG_HOME XDG_DATA_HOME
mkdir -p "$HOME"
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
    share/metainfo/org.dwellmark.dwellmark.metainfo.xml
    share/man/man1/dwellmark.1.gz
    share/doc/dwellmark/copyright
    share/doc/dwellmark/changelog.gz
    share/dwellmark/gnome-shell/42/dwellmark@dwellmark.org/metadata.json
    share/dwellmark/gnome-shell/42/dwellmark@dwellmark.org/extension.js
    share/dwellmark/gnome-shell/45/dwellmark@dwellmark.org/metadata.json
    share/dwellmark/gnome-shell/45/dwellmark@dwellmark.org/extension.js
    libexec/dwellmark/choose-gnome-extension
    share/dwellmark/dwellmark-kwin.js
)
# GNOME Shell's place for the extension: a link to one of the variants.
extension=share/gnome-shell/extensions/dwellmark@dwellmark.org
metainfo=share/metainfo/org.dwellmark.dwellmark.metainfo.xml

cmake --install "$build" --prefix "$scratch/prefix" >/dev/null || fail "cmake --install failed"
for file in "${expected[@]}"; do
    [ -e "$scratch/prefix/$file" ] || fail "not installed: $file"
done
[ -L "$scratch/prefix/$extension" ] && [ -f "$scratch/prefix/$extension/extension.js" ] ||
    fail "$extension is not a link to a variant of the extension"
[ -L "$scratch/prefix/bin/dwellmark" ] || fail "bin/dwellmark is not a link"
[ "$(readlink -f "$scratch/prefix/bin/dwellmark")" = "$(readlink -f "$scratch/prefix/libexec/dwellmark/dwellmark")" ] ||
    fail "bin/dwellmark does not lead to the program"
cmp -s "$scratch/prefix/libexec/dwellmark/HAND-M.CUR" "$source_dir/data/HAND-M.CUR" ||
    fail "the installed pointer file differs from data/HAND-M.CUR"
entry="$scratch/prefix/share/applications/dwellmark.desktop"
grep -qx "Exec=$scratch/prefix/bin/dwellmark" "$entry" || fail "the desktop entry does not run the installed program by its path"
grep -qx 'X-KDE-Wayland-Interfaces=org_kde_plasma_window_management' "$entry" ||
    fail "the desktop entry does not ask KWin for its window list"

# The software-centre entry: launches the installed desktop entry, shows the
# screenshot kept in docs/, and names this version as the newest release.
grep -q '<launchable type="desktop-id">dwellmark.desktop</launchable>' "$scratch/prefix/$metainfo" ||
    fail "the software-centre entry does not launch dwellmark.desktop"
screenshot=$(sed -n 's|.*<image>.*/\(docs/[^<]*\)</image>.*|\1|p' "$scratch/prefix/$metainfo" | head -n1)
[ "$screenshot" = docs/main-window.png ] || fail "the software-centre entry shows '$screenshot', not docs/main-window.png"
[ -f "$source_dir/$screenshot" ] || fail "the screenshot $screenshot is not in the source tree"
newest=$(grep -o '<release version="[^"]*"' "$scratch/prefix/$metainfo" | head -n1 | cut -d'"' -f2)
[ "$newest" = "$version" ] || fail "the software-centre entry names release '$newest', the build is $version"
if command -v appstreamcli >/dev/null; then
    appstreamcli validate-tree --no-net "$scratch/prefix" >"$scratch/appstream.log" 2>&1 ||
        fail "appstreamcli rejects the installed tree: $(cat "$scratch/appstream.log")"
fi

# The changelog's newest entry is this version; the manual page has the page's name.
newest=$(gzip -dc "$scratch/prefix/share/doc/dwellmark/changelog.gz" | sed -n '1s/^dwellmark (\([^)]*\)).*/\1/p')
[ "$newest" = "$version" ] || fail "the changelog's newest entry is '$newest', the build is $version"
gzip -dc "$scratch/prefix/share/man/man1/dwellmark.1.gz" | grep -q '^\.TH DWELLMARK 1 ' || fail "the manual page is not dwellmark(1)"

if command -v dpkg-deb >/dev/null; then
    (cd "$build" && cpack -G DEB -B "$scratch/package" >/dev/null) || fail "cpack -G DEB failed"
    deb=$(ls "$scratch"/package/*.deb 2>/dev/null | head -n1)
    [ -n "$deb" ] || fail "cpack made no .deb"
    contents=$(dpkg-deb -c "$deb")
    for file in "${expected[@]}"; do
        grep -q "\./usr/$file" <<<"$contents" || fail "not in the package: /usr/$file"
    done
    grep -q "\./usr/$extension -> \.\./\.\./dwellmark/gnome-shell/4[25]/dwellmark@dwellmark.org" <<<"$contents" ||
        fail "the package has no link /usr/$extension to a variant of the extension"
    dpkg-deb -I "$deb" postinst | grep -q '/usr/libexec/dwellmark/choose-gnome-extension /usr/share' ||
        fail "the package's postinst does not choose the variant of the extension"
    dpkg-deb -I "$deb" triggers | grep -qx 'interest-noawait /usr/bin/gnome-shell' ||
        fail "the package does not choose again when GNOME Shell changes"
    dpkg-deb -f "$deb" Depends | grep -q 'libqt6charts6' || fail "the package does not depend on Qt Charts"
    [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package's version is not $version"
    if command -v lintian >/dev/null; then
        lintian --fail-on error "$deb" >"$scratch/lintian.log" 2>&1 ||
            fail "lintian finds errors in the package: $(grep '^E:' "$scratch/lintian.log" || cat "$scratch/lintian.log")"
    fi
fi
