#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop gets:
# the program, the desktop entry (desktop-file-validate accepts it without an
# error or warning), the icon in every size and as SVG, the manual page
# (man -l renders it without a warning, and it names every option that the
# program's --help texts offer) and the README.
#   tests/install/check_install.sh BUILD_DIR "ICON SIZES"
set -uo pipefail
build=${1:?usage: check_install.sh BUILD_DIR "ICON SIZES"}
sizes=${2:?usage: check_install.sh BUILD_DIR "ICON SIZES"}
sizes=${sizes//;/ }  # a CMake list

fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in desktop-file-validate man python3; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/install-deps.sh installs it)"
done

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >"$prefix.log" 2>&1 || { cat "$prefix.log"; rm -f "$prefix.log"; fail "cmake --install"; }
rm -f "$prefix.log"

# The program, runnable from its installed place.
prog="$prefix/bin/tessellon"
[ -x "$prog" ] || fail "no $prog"
"$prog" --version | grep -q '^tessellon [0-9]' || fail "the installed program does not run"

# The desktop entry.
entry="$prefix/share/applications/tessellon.desktop"
[ -f "$entry" ] || fail "no $entry"
v=$(desktop-file-validate "$entry" 2>&1)
if grep -Eq 'error|warning' <<<"$v"; then fail "desktop-file-validate: $v"; fi
grep -Eq '^Categories=(.*;)?Audio;(.*;)?Music;' "$entry" || fail "categories Audio and Music: $(grep Categories "$entry")"
grep -q '^Icon=tessellon$' "$entry" || fail "the entry's icon"
exe=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
[ -x "$prefix/bin/$exe" ] || fail "the entry runs '$exe', which is not installed"
grep -q '^StartupWMClass=WVTESSEL$' "$entry" || fail "the entry's window class"

# The icon: each PNG at its size, and the SVG.
for s in $sizes; do
  png="$prefix/share/icons/hicolor/${s}x${s}/apps/tessellon.png"
  [ -f "$png" ] || fail "no $png"
  python3 - "$png" "$s" <<'PY' || fail "$png is not a ${s}x${s} PNG"
import struct, sys
d = open(sys.argv[1], 'rb').read(24)
ok = d[:8] == b'\x89PNG\r\n\x1a\n' and d[12:16] == b'IHDR'
w, h = struct.unpack('>II', d[16:24]) if ok else (0, 0)
sys.exit(0 if ok and w == h == int(sys.argv[2]) else 1)
PY
done
svg="$prefix/share/icons/hicolor/scalable/apps/tessellon.svg"
[ -f "$svg" ] || fail "no $svg"
python3 -c 'import sys, xml.etree.ElementTree as E; r = E.parse(sys.argv[1]).getroot(); sys.exit(0 if r.tag.endswith("svg") else 1)' "$svg" ||
  fail "$svg is not an SVG document"

# The manual page: rendered without a warning, in plain ASCII.
page="$prefix/share/man/man1/tessellon.1"
[ -f "$page" ] || fail "no $page"
text=$(LC_ALL=C MANWIDTH=80 man --warnings -l "$page" 2>"$prefix/man.err" | col -b)
[ -s "$prefix/man.err" ] && fail "man -l: $(cat "$prefix/man.err")"
# Here-strings, not pipes: grep -q stops at its first match, and the echo
# feeding a pipe would then die of SIGPIPE, a failure under pipefail.
grep -q '^NAME' <<<"$text" || fail "the page does not render: $text"
grep -q 'tessellon - Wave Tessellon' <<<"$text" || fail "the page's name line"
# Every subcommand and every option of the --help texts.
helps=$("$prog" --help 2>&1; for c in render play devices sample; do "$prog" "$c" --help 2>&1; done
       "$prog" sample record --help 2>&1)
for c in render play devices sample; do
  grep -q "tessellon $c" <<<"$text" || fail "the page does not show 'tessellon $c'"
done
opts=$(echo "$helps" | grep -oE -- '(^|[ [(|])--?[a-z][a-z0-9-]*' | sed 's/^[ [(|]//' | sort -u)
[ -n "$opts" ] || fail "no options found in the --help texts"
for o in $opts; do
  grep -qE -- "(^|[^a-z0-9-])$o([^a-z0-9-]|\$)" <<<"$text" || fail "the manual page does not mention $o"
done

# The README.
[ -f "$prefix/share/doc/tessellon/README.md" ] || fail "no README under share/doc/tessellon"

# The preset library, found by the installed program beside its own folder.
lib="$prefix/share/tessellon/presets"
[ -s "$lib/index.txt" ] || fail "no preset index under share/tessellon/presets"
listed=$(env -u TESSELLON_PRESETS "$prog" render --list-presets 2>&1) || fail "render --list-presets: $listed"
[ "$(grep -c ' row ' <<<"$listed")" -eq "$(grep -vc '^#' "$lib/index.txt")" ] || fail "the installed library is not listed whole"
env -u TESSELLON_PRESETS "$prog" render --preset four-tracks --seconds 1 -o "$prefix/p.wav" >/dev/null 2>&1 ||
  fail "an installed preset with banks does not render"
echo "install test passed: $(echo "$opts" | wc -l) options on the page, icons $sizes"
