#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks that a desktop knows
# the program's files: the setting type (*.rov) in the shared MIME database,
# the desktop entry as its default application, and the AppStream entry.
#   tests/install/check_desktop_types.sh BUILD_DIR VERSION
set -uo pipefail
build=${1:?usage: check_desktop_types.sh BUILD_DIR VERSION}
version=${2:?usage: check_desktop_types.sh BUILD_DIR VERSION}
type=application/x-tessellon-setting

fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in desktop-file-validate update-desktop-database update-mime-database appstreamcli xdg-mime gio; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/install-deps.sh installs it)"
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "cmake --install"; }
share=$prefix/share

# The desktop entry names the type it opens.
entry=$share/applications/tessellon.desktop
v=$(desktop-file-validate "$entry" 2>&1)
if grep -Eq 'error|warning' <<<"$v"; then fail "desktop-file-validate: $v"; fi
grep -qx "MimeType=$type;" "$entry" || fail "the entry's MimeType: $(grep MimeType "$entry")"

# The AppStream entry: valid (without the network: the screenshot's host is
# not fetched), launching the entry, with this version's release.
meta=$(ls "$share"/metainfo/*.metainfo.xml 2>/dev/null | head -1)
[ -n "$meta" ] || fail "no metainfo file under $share/metainfo"
v=$(appstreamcli validate --no-net --pedantic "$meta" 2>&1) || fail "appstreamcli validate: $v"
id=$(sed -n 's:.*<id>\(.*\)</id>.*:\1:p' "$meta")
[ "$(basename "$meta")" = "$id.metainfo.xml" ] || fail "$meta is not named after its id '$id'"
grep -q '<launchable type="desktop-id">tessellon.desktop</launchable>' "$meta" || fail "launchable"
grep -q "<release version=\"$version\" date=\"[0-9-]*\"" "$meta" || fail "no release $version in $meta"
grep -q "<mediatype>$type</mediatype>" "$meta" || fail "the metainfo does not provide $type"
grep -q '<screenshot type="default">' "$meta" || fail "no screenshot"

# The MIME database of the prefix alone, and a desktop that reads it: a .rov
# file (also one named in capitals, and one of any contents) is a setting,
# opened by the entry. cmake --install has built the caches where it could.
[ -f "$share/mime/packages/tessellon.xml" ] || fail "no $share/mime/packages/tessellon.xml"
update-mime-database "$share/mime" || fail "update-mime-database"
update-desktop-database "$share/applications" || fail "update-desktop-database"
export XDG_DATA_DIRS=$share XDG_DATA_HOME=$work/home-data XDG_CONFIG_HOME=$work/home-config XDG_CONFIG_DIRS=$work/etc
export HOME=$work XDG_CURRENT_DESKTOP=GNOME
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CONFIG_DIRS"
head -c 672 /dev/zero >"$work/calm.rov"
head -c 672 /dev/urandom >"$work/NOISE.ROV"
for f in "$work/calm.rov" "$work/NOISE.ROV"; do
  t=$(xdg-mime query filetype "$f" 2>&1)
  [ "$t" = "$type" ] || fail "xdg-mime query filetype $(basename "$f"): '$t'"
done
t=$(xdg-mime query filetype "$build/CMakeCache.txt" 2>&1)
[ "$t" != "$type" ] || fail "a text file is taken for a setting"
app=$(xdg-mime query default "$type" 2>&1)
[ "$app" = tessellon.desktop ] || fail "xdg-mime query default $type: '$app'"
echo "desktop types passed: $type opened by $app; $(basename "$meta") valid"
