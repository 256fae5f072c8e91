#!/bin/bash
# The window system's side (shell, editor, intro) keeps only the mutable
# objects that the window system itself makes process-wide; each is listed
# here with the reason. Any other, or one of these gone, is reported; exit 1.
#
# Usage: window-globals.sh BUILD_DIR
set -u
build=${1:?usage: window-globals.sh BUILD_DIR}
here=$(dirname "$0")

allowed=(
    # A signal handler is given nothing but the signal: the pipe it writes to.
    "(anonymous namespace)::signal_fd"
    # The X server knows one running instance per display: its selection owner.
    "(anonymous namespace)::owner_window"
    # FLTK's lock is process-wide and taken once.
    "fl_cycle_threads()::locked"
    # FLTK's scheme and colours are process-wide and set once.
    "fl_look_apply()::done"
)

out=$(bash "$here/count-globals.sh" "$build" shell editor intro)
[ $? -eq 2 ] && { echo "$out"; exit 2; }
found=$(printf '%s\n' "$out" | sed -n 's/^  //p' | sort -u)
faults=0
while IFS= read -r name; do
    [ -z "$name" ] && continue
    ok=0
    for a in "${allowed[@]}"; do [ "$name" = "$a" ] && ok=1; done
    if [ $ok -eq 0 ]; then
        echo "window-globals: mutable object not needed by the window system: $name"
        faults=$((faults + 1))
    fi
done <<< "$found"
for a in "${allowed[@]}"; do
    if ! grep -qxF -- "$a" <<< "$found"; then
        echo "window-globals: $a has gone: take it off the list"
        faults=$((faults + 1))
    fi
done
printf '%s\n' "$out"
[ $faults -eq 0 ]
