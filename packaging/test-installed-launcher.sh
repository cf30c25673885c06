#!/bin/bash
# Installs the build into a scratch prefix and starts the installed launcher
# from an unrelated directory under a private X server: the game must find its
# levels, map its 960x720 window with the class the installed desktop entry
# names (whatever class the environment asks for) and keep running on level 1.
set -euo pipefail
build=$1
scratch=$2

for tool in xvfb-run xdotool xwininfo xprop; do
    command -v "$tool" >/dev/null || { echo "missing tool: $tool"; exit 1; }
done

rm -rf "$scratch"
mkdir -p "$scratch/elsewhere"
cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
launcher=$(find "$scratch/prefix" -type f \( -path '*/prefix/games/toppleton' -o -path '*/prefix/bin/toppleton' \) | head -n 1)
[ -x "$launcher" ] || { echo "no installed launcher under $scratch/prefix"; exit 1; }
entry=$(find "$scratch/prefix" -name io.toppleton.Toppleton.desktop | head -n 1)
wm_class=$(sed -n 's/^StartupWMClass=//p' "$entry")
[ -n "$wm_class" ] || { echo "the installed desktop entry names no StartupWMClass"; exit 1; }

cd "$scratch/elsewhere"
export LIBGL_ALWAYS_SOFTWARE=1
export SDL_VIDEO_X11_WMCLASS=not-from-the-launcher
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    "$1" >game.out 2>&1 &
    game=$!
    window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$game" | head -n 1) || true
    if [ -z "$window" ]; then
        echo "no window appeared; the game said:"; cat game.out
        exit 1
    fi
    geometry=$(xwininfo -id "$window" | awk "/Width:/{w=\$2} /Height:/{h=\$2} END{print w \"x\" h}")
    class=$(xprop -id "$window" -notype WM_CLASS)
    sleep 2
    if ! kill -0 "$game" 2>/dev/null; then
        echo "the game ended on its own; it said:"; cat game.out
        exit 1
    fi
    kill "$game"
    [ "$geometry" = 960x720 ] || { echo "window is $geometry, not 960x720"; exit 1; }
    [ "$class" = "WM_CLASS = \"$2\", \"$2\"" ] ||
        { echo "window has $class, the desktop entry expects $2"; exit 1; }
    echo "installed game runs in a $geometry window of class $2"
' launcher-test "$launcher" "$wm_class"
