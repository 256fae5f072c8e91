#!/bin/bash
# Lists the mutable objects of the sound path's libraries (engine, audio,
# player, files) in BUILD_DIR: every symbol nm places in a writable data
# section (.data, .bss, thread-local .tdata/.tbss, and their per-symbol
# variants), not the relocated constants of .data.rel.ro. Exits 1 when there
# is any, 2 when a library is missing.
#
# Not counted: what the compiler or a sanitizer adds by itself (DWARF
# personality references, the guard of a function-local static, the
# sanitizers' own records).
#
# Usage: count-globals.sh BUILD_DIR [LIBRARY ...]   (default: the sound path's)
set -u
build=${1:?usage: count-globals.sh BUILD_DIR [LIBRARY ...]}
shift
libs=("$@")
[ ${#libs[@]} -eq 0 ] && libs=(engine audio player files)
total=0
missing=0
for lib in "${libs[@]}"; do
    a="$build/libtess_$lib.a"
    if [ ! -f "$a" ]; then
        echo "$lib: $a is missing" >&2
        missing=1
        continue
    fi
    names=$(nm --format=sysv --demangle "$a" 2>/dev/null | awk -F'|' '
        NF >= 7 {
            name = $1; sec = $7
            gsub(/^[ \t]+|[ \t]+$/, "", name); gsub(/^[ \t]+|[ \t]+$/, "", sec)
            if (sec !~ /^\.(data|bss|tdata|tbss)(\.|$)/) next
            if (sec ~ /^\.data\.rel\.ro/) next
            if (name == "" || name ~ /^DW\.ref\./ || name ~ /^guard variable for /) next
            if (name ~ /^_*(asan|ubsan|odr_asan|sancov|lsan|tsan|msan)/) next
            if (name ~ /^\.L/) next
            print name
        }' | sort -u)
    n=0
    [ -n "$names" ] && n=$(printf '%s\n' "$names" | wc -l)
    echo "$lib: $n"
    [ -n "$names" ] && printf '%s\n' "$names" | sed 's/^/  /'
    total=$((total + n))
done
echo "total: $total"
[ "$missing" -ne 0 ] && exit 2
[ "$total" -ne 0 ] && exit 1
exit 0
