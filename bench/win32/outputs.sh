#!/usr/bin/env bash
# The PDF sheets of tessarine-cards.exe under Wine beside the Linux tessarine-cards', on a
# tmpfs: the PDF of 1,000 and of M cards (time, peak memory, bytes a card) against the
# BMP batch of the same cards, per card (the batch is run for at most B cards, which is
# B x 521,578 bytes of tmpfs at once). Targets: the PDF at most the BMP batch's time,
# peak memory under 32 MB and flat from 1,000 cards, at most 2 KB a card. Under Wine the
# peak memory is the whole Wine process's. Runs in a private Wine prefix of the
# executable's word size (the 64-bit stand-in where no 32-bit code runs).
#
#   bench/win32/outputs.sh BUILD_WINDOWS_DIR BUILD_LINUX_DIR [M] [B]
set -uo pipefail
if [ $# -lt 2 ]; then
  echo "uso: $0 BUILD_WINDOWS_DIR BUILD_LINUX_DIR [M] [B]" >&2
  exit 2
fi
windows_cli=$(cd "$1" && pwd)/cli/tessarine-cards.exe
linux_cli=$(cd "$2" && pwd)/cli/tessarine-cards
large=${3:-30000}
batch=${4:-3000}
clock=12:34:56.789
if objdump -f "$windows_cli" 2>/dev/null | grep -q pei-x86-64; then
  export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
  wine=/usr/lib/wine/wine64
else
  export WINEARCH=win32
  wine=wine
fi
work=$(mktemp -d /dev/shm/tessarine-outputs-bench.XXXXXX)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
"$wine" wineboot -i >/dev/null 2>&1
wineserver -w
cp /usr/share/wine/fonts/tahoma.ttf /usr/share/wine/fonts/tahomabd.ttf \
  "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
cd "$work" || exit 1

# "SECONDS PEAK_KB" of one run of tessarine-cards, its output thrown away.
measure() {
  /usr/bin/time -f "%e %M" -o time.txt "$@" >/dev/null 2>&1 || { echo "-1 -1"; return; }
  cat time.txt
}

printf "%-8s %7s %9s %9s %11s %13s %9s\n" build cards "pdf s" "pdf MB" "bytes/card" \
  "bmp ms/card" "pdf/bmp"
for side in linux windows; do
  if [ "$side" = linux ]; then run=("$linux_cli"); else run=("$wine" "$windows_cli"); fi
  read -r bmp_s _ < <(measure "${run[@]}" --count "$batch" --time "$clock" --out bmp)
  rm -rf bmp
  for cards in 1000 "$large"; do
    read -r pdf_s pdf_kb < <(measure "${run[@]}" --count "$cards" --time "$clock" --no-files \
                               --pdf sheets.pdf)
    bytes=$(stat -c %s sheets.pdf 2>/dev/null || echo 0)
    rm -f sheets.pdf
    awk -v side="$side" -v n="$cards" -v s="$pdf_s" -v kb="$pdf_kb" -v b="$bytes" \
        -v bs="$bmp_s" -v bn="$batch" 'BEGIN {
      bmp = bs / bn * 1000; pdf = s / n * 1000
      printf "%-8s %7d %9.2f %9.1f %11.0f %13.3f %9.3f\n", side, n, s, kb / 1024, b / n, bmp,
             pdf / bmp }'
  done
done
echo "objetivos: pdf/bmp como mucho 1; memoria por debajo de 32 MB e igual de 1.000 a $large; 2.048 bytes por cartón como mucho"
