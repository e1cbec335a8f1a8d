#!/usr/bin/env bash
# The Windows window batch under Wine against tessarine-cards.exe under Wine, on a
# virtual X screen, in a private Wine prefix made for the run. Prints the rounds and the
# median ratio (bench/win32/window_batch.cpp). With TESSARINE_BENCH_PERF=FILE the rounds
# are recorded with `perf record -a -g` into FILE (Wine and the X server included).
#
#   bench/win32/run.sh BUILD_WINDOWS_DIR [N] [ROUNDS]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)

if [ "${1:-}" = "--on-screen" ]; then
  work=$2 count=$3 rounds=$4
  export WINEPREFIX=$work/prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  wineboot -i >"$work/wineboot.log" 2>&1
  wineserver -w
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
  cp /usr/share/wine/fonts/tahoma.ttf /usr/share/wine/fonts/tahomabd.ttf \
    "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
  perf=()
  [ -n "${TESSARINE_BENCH_PERF:-}" ] && perf=(perf record -q -a -g -e cpu-clock -o "$TESSARINE_BENCH_PERF" --)
  (cd "$work" && "${perf[@]}" wine window_batch.exe 'Z:'"${work//\//\\}"'\app' "$count" "$rounds") 2>&1 | tr -d '\r'
  status=${PIPESTATUS[0]}
  wineserver -k 2>/dev/null
  exit "$status"
fi

if [ $# -lt 1 ]; then
  echo "uso: $0 BUILD_WINDOWS_DIR [N] [RONDAS]" >&2
  exit 2
fi
windows_dir=$(cd "$1" && pwd) || exit 2
count=${2:-200}
rounds=${3:-5}
work=$(mktemp -d /tmp/tessarine-wine-bench.XXXXXX)
trap 'WINEPREFIX=$work/prefix wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
i686-w64-mingw32-g++-posix -std=c++17 -O2 -Wall -Wextra -Werror -municode -static \
  -o "$work/window_batch.exe" "$here/window_batch.cpp" -luser32 -lgdi32 || exit 1
mkdir -p "$work/app"
cp "$windows_dir/app/tessarine.exe" "$windows_dir/cli/tessarine-cards.exe" "$work/app/"
xvfb-run -a -s '-screen 0 1280x1024x24' "$0" --on-screen "$work" "$count" "$rounds"
