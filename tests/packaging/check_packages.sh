#!/usr/bin/env bash
# The packages as a user gets them: scripts/package makes the Debian package (in its own
# Release build, build/package) and the Windows zip (from build/windows), then this
# checks them with the tools Debian and freedesktop.org provide for it: dpkg-deb,
# desktop-file-validate, appstreamcli, man, lintian; and what those do not know: every
# file in its place with its mode, library dependencies computed, versions and addresses
# agreeing with the code, the manual page agreeing with --help, the icons of the sizes
# their folders say, the zip's executables needing no DLL that Windows lacks.
# The unpacked program itself runs "Muchas" with 2, driven from inside its process by a
# Qt plugin built in the test build (build/test, or TESSARINE_TEST_BUILD): from a
# read-only usr/bin, as an ordinary user, and from a writable usr/bin.
# Tools that need no privilege run as an ordinary user (nobody).
# Prints one line per check and "N passed, N failed"; exits non-zero on any failure.
#
#   tests/packaging/check_packages.sh [deb|zip]     (default: both)
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1
what=${1:-all}

passed=0
failed=0
check() {  # check DESCRIPTION COMMAND...: what the command prints is shown if it fails
  local what=$1
  shift
  if "$@" >"$work/check.log" 2>&1; then
    echo "ok - $what"
    passed=$((passed + 1))
  else
    echo "FALLO - $what"
    sed 's/^/#   /' "$work/check.log"
    failed=$((failed + 1))
  fi
}
finish() {
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
  exit
}
as_user() { runuser -u nobody -- env HOME="$work/home" LC_ALL=C.UTF-8 "$@"; }

work=$(mktemp -d)
read_only_mount=""
trap '[ -z "$read_only_mount" ] || umount -l "$read_only_mount"; rm -rf "$work"' EXIT
mkdir -p "$work/home"
chmod -R 755 "$work"
chown nobody "$work/home"

source scripts/windows.sh
version=$(sed -n 's/^project(tessarine VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
homepage=$(sed -n 's/.*kAuthorAddress = "\(.*\)";/\1/p' app/shell.h)
maintainer="Tessarine <tessarine@example.org>"
if [ -z "$version" ] || [ -z "$homepage" ]; then
  echo "FALLO - la versión (CMakeLists.txt) o la dirección del autor (app/shell.h) no se leen"
  failed=1
  finish
fi

clock=12:34:56.789
# Three lines of nine fields, two digits or "--", as tessarine-cards --layout prints a card.
is_layout() { [ "$(grep -cE '^([0-9]{2}|--)( ([0-9]{2}|--)){8}$' "$1")" -eq 3 ] &&
  [ "$(wc -l <"$1")" -eq 3 ]; }

# ---- The Debian package ---------------------------------------------------------------
# FIELD of the package's control file.
field() { dpkg-deb --field "$deb" "$1"; }
# The "mode owner path" lines of the package's contents, path without its leading ".".
contents() { dpkg-deb --contents "$deb" | awk '{ sub(/^\./, "", $6); print $1, $2, $6 }'; }
has_entry() { contents | grep -qxF -e "$1 root/root $2"; }
depends_on() { field Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -qxF "$1"; }

# The PNG's width and height from its header: "WIDTHxHEIGHT".
png_size() {
  local -a word
  read -ra word < <(od -An -tu1 -j16 -N8 "$1")
  [ ${#word[@]} -eq 8 ] || return 1
  echo "$(((word[0] << 24) | (word[1] << 16) | (word[2] << 8) | word[3]))x$(((word[4] << 24) | (word[5] << 16) | (word[6] << 8) | word[7]))"
}
is_png_of_size() { [ "$(head -c 8 "$1" | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] &&
  [ "$(png_size "$1")" = "$2" ]; }

desktop_key() { sed -n "s/^$1=//p" "$unpacked/usr/share/applications/tessarine.desktop"; }
metainfo_has() { grep -qF "$1" "$unpacked/usr/share/metainfo/org.example.tessarine.metainfo.xml"; }

# The options a help text or a manual page names, one a line.
options_in() { grep -oE -- '--[a-z][a-z-]+' | LC_ALL=C sort -u; }
man_options() { as_user man -l "$1" 2>/dev/null | sed -n '/^OPCIONES/,/^[^ ]/p' |
  grep -E '^ {7}--' | options_in; }
man_is_quiet() { [ -z "$(as_user man --warnings -E UTF-8 -l "$1" 2>&1 >/dev/null)" ]; }
gzip_max_no_stamp() {  # gzip -9n: no name flag, no time stamp, "maximum compression" flag
  local -a byte
  read -ra byte < <(od -An -tu1 -N9 "$1")
  [ "${byte[3]}" -eq 0 ] && [ "${byte[4]}${byte[5]}${byte[6]}${byte[7]}" = 0000 ] &&
    [ "${byte[8]}" -eq 2 ]
}

check_deb() {
  local log=$work/package-deb.log
  scripts/package deb >"$log" 2>&1
  deb=$(sed -n 's/^Paquete de Debian: \([^ ]*\).*/\1/p' "$log")
  if [ -z "$deb" ]; then
    tail -20 "$log"
    check "scripts/package deb hace el paquete" false
    return
  fi
  local arch
  arch=$(dpkg --print-architecture)
  check "scripts/package deb deja build/dist/tessarine_${version}_$arch.deb" \
    [ "$deb" = "build/dist/tessarine_${version}_$arch.deb" -a -f "$deb" ]
  cp "$deb" "$work/tessarine.deb" && chmod 644 "$work/tessarine.deb"
  deb=$work/tessarine.deb

  # dpkg-deb --info
  dpkg-deb --info "$deb" >"$work/info" 2>&1
  check "dpkg-deb --info lee el paquete" grep -q '^ Package: tessarine$' "$work/info"
  check "Version: $version" [ "$(field Version)" = "$version" ]
  check "Architecture: $arch" [ "$(field Architecture)" = "$arch" ]
  check "Maintainer: $maintainer" [ "$(field Maintainer)" = "$maintainer" ]
  check "Homepage: la dirección del autor, $homepage" [ "$(field Homepage)" = "$homepage" ]
  check "Description: un resumen y una descripción larga" \
    [ -n "$(field Description | head -1)" -a "$(field Description | wc -l)" -ge 3 ]
  local library
  for library in libc6 libstdc++6 libqt6core6 libqt6widgets6 libfreetype6 libfontconfig1; do
    check "Depends: $library (de dpkg-shlibdeps)" depends_on "$library"
  done
  check "Depends: qt6-qpa-plugins (los plugins de plataforma de Qt)" depends_on qt6-qpa-plugins

  # dpkg-deb --contents: every file in its place, with Debian's modes and owner.
  local file
  for file in /usr/bin/tessarine /usr/bin/tessarine-cards /usr/bin/tessarine-bingo; do
    check "contiene $file (-rwxr-xr-x root/root)" has_entry -rwxr-xr-x "$file"
  done
  for file in /usr/share/applications/tessarine.desktop \
      /usr/share/metainfo/org.example.tessarine.metainfo.xml \
      /usr/share/icons/hicolor/48x48/apps/tessarine.png \
      /usr/share/icons/hicolor/128x128/apps/tessarine.png \
      /usr/share/icons/hicolor/256x256/apps/tessarine.png \
      /usr/share/icons/hicolor/scalable/apps/tessarine.svg \
      /usr/share/man/man1/tessarine-cards.1.gz /usr/share/man/man1/tessarine.1.gz \
      /usr/share/applications/tessarine-bingo.desktop \
      /usr/share/metainfo/org.example.tessarine.bingo.metainfo.xml \
      /usr/share/man/man1/tessarine-bingo.1.gz \
      /usr/share/doc/tessarine/copyright /usr/share/doc/tessarine/changelog.gz \
      /usr/share/lintian/overrides/tessarine; do
    check "contiene $file (-rw-r--r-- root/root)" has_entry -rw-r--r-- "$file"
  done
  check "todas las carpetas drwxr-xr-x root/root" \
    [ -z "$(contents | awk '$3 ~ /\/$/ && ($1 != "drwxr-xr-x" || $2 != "root/root")')" ]
  check "solo archivos de /usr" [ -z "$(contents | awk '$3 !~ /^\/usr\//')" ]

  unpacked=$work/unpacked
  dpkg-deb -x "$deb" "$unpacked" && chmod 755 "$unpacked"

  # The menu entry.
  local desktop=$unpacked/usr/share/applications/tessarine.desktop
  check "desktop-file-validate tessarine.desktop" as_user desktop-file-validate "$desktop"
  check "Name=Tessarine" [ "$(desktop_key Name)" = Tessarine ]
  check "Exec=tessarine, sin argumentos" [ "$(desktop_key Exec)" = tessarine ]
  check "Icon=tessarine, el nombre de los iconos instalados" [ "$(desktop_key Icon)" = tessarine ]
  check "GenericName y Comment en castellano" \
    grep -qE '^(GenericName|Comment)=.*(bingo|cartones)' "$desktop"

  local bingo_desktop=$unpacked/usr/share/applications/tessarine-bingo.desktop
  check "desktop-file-validate tessarine-bingo.desktop" as_user desktop-file-validate "$bingo_desktop"
  check "Name=Tessarine Bingo" grep -qx 'Name=Tessarine Bingo' "$bingo_desktop"
  check "Exec=tessarine-bingo, sin argumentos" grep -qx 'Exec=tessarine-bingo' "$bingo_desktop"
  check "appstreamcli validate --no-net (bingo)" as_user appstreamcli validate --no-net \
    "$unpacked/usr/share/metainfo/org.example.tessarine.bingo.metainfo.xml"

  # The AppStream metadata.
  local metainfo=$unpacked/usr/share/metainfo/org.example.tessarine.metainfo.xml
  check "appstreamcli validate --no-net" as_user appstreamcli validate --no-net "$metainfo"
  check "AppStream: lanza tessarine.desktop" \
    metainfo_has '<launchable type="desktop-id">tessarine.desktop</launchable>'
  check "AppStream: la versión $version entre las publicadas" \
    metainfo_has "<release version=\"$version\""
  check "AppStream: página del autor $homepage" metainfo_has "<url type=\"homepage\">$homepage</url>"
  check "AppStream: una captura de pantalla" metainfo_has '<screenshot type="default">'

  # The icons.
  local size
  for size in 48 128 256; do
    check "icono ${size}x$size: un PNG de ${size}x$size" \
      is_png_of_size "$unpacked/usr/share/icons/hicolor/${size}x$size/apps/tessarine.png" \
      "${size}x$size"
  done
  check "icono escalable: un SVG que rsvg-convert dibuja" as_user rsvg-convert --width=16 \
    --output="$work/home/scalable.png" "$unpacked/usr/share/icons/hicolor/scalable/apps/tessarine.svg"

  # The manual pages and the changelog.
  local man1=$unpacked/usr/share/man/man1 page
  for page in tessarine-cards tessarine tessarine-bingo; do
    check "man -l $page.1.gz: sin avisos de groff" man_is_quiet "$man1/$page.1.gz"
    check "$page.1.gz: gzip -9n" gzip_max_no_stamp "$man1/$page.1.gz"
  done
  local cards=$unpacked/usr/bin/tessarine-cards
  as_user "$cards" --help | options_in >"$work/help-options"
  man_options "$man1/tessarine-cards.1.gz" >"$work/man-options"
  check "tessarine-cards --help nombra opciones" [ -s "$work/help-options" ]
  check "el manual de tessarine-cards trae las opciones de --help, ni más ni menos" \
    diff "$work/help-options" "$work/man-options"
  zcat "$unpacked/usr/share/doc/tessarine/changelog.gz" >"$work/changelog"
  check "changelog.gz: la versión $version arriba" \
    [ "$(dpkg-parsechangelog -l "$work/changelog" -S Version)" = "$version" ]
  as_user "$cards" --layout --time "$clock" >"$work/layout-linux"
  check "tessarine-cards del paquete hace un cartón como texto" is_layout "$work/layout-linux"

  # lintian, with the package's own overrides.
  as_user lintian --info --display-info "$deb" >"$work/lintian.log" 2>&1
  local lintian_status=$?
  grep -E '^[EWIP]: ' "$work/lintian.log" | sed 's/^/# lintian /'
  check "lintian: termina bien" [ "$lintian_status" -eq 0 ]
  check "lintian: ningún error" [ "$(grep -c '^E: ' "$work/lintian.log")" -eq 0 ]
  check "lintian: ningún aviso" [ "$(grep -c '^W: ' "$work/lintian.log")" -eq 0 ]

  check_installed_batches
}

# ---- Batches of the unpacked program --------------------------------------------------
card_bytes=521578
test_build=${TESSARINE_TEST_BUILD:-build/test}

# The driver plugin, built in the test build (configured here if there is none yet) and
# copied where an ordinary user can read it: $work/plugins/generic.
driver_plugins() {
  local log=$work/driver-build.log
  if [ ! -f "$test_build/CMakeCache.txt" ]; then
    cmake -S . -B "$test_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DTESSARINE_FRONTEND=qt -DTESSARINE_WERROR=ON >"$log" 2>&1 || return 1
  fi
  cmake --build "$test_build" -j "$(nproc)" --target tessarinebatch >>"$log" 2>&1 || return 1
  local plugin=$test_build/tests/packaging/plugins/generic/libtessarinebatch.so
  mkdir -p "$work/plugins/generic" && cp "$plugin" "$work/plugins/generic/" &&
    chmod -R 755 "$work/plugins"
}

# A fresh home for USER whose user-dirs.dirs names "$HOME/Imágenes", which is not there.
new_home() {
  local home=$1 user=$2
  mkdir -p "$home/.config" "$home/runtime"
  printf '%s\n' 'XDG_PICTURES_DIR="$HOME/Imágenes"' >"$home/.config/user-dirs.dirs"
  chmod 700 "$home/runtime"
  chown -R "$user" "$home"
}

# run_batch HOME USER: the unpacked program, on Qt's offscreen platform with nothing of
# this machine's environment, chooses "Muchas", answers 2, reads the message and leaves.
# Its messages are in HOME/report (written by the program's user), what it printed in
# HOME.log and its exit status in HOME.status.
run_batch() {
  local home=$1 user=$2
  (cd "$home" && runuser -u "$user" -- env -i PATH=/usr/bin:/bin LC_ALL=C.UTF-8 \
    HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home/runtime" \
    QT_QPA_PLATFORM=offscreen QT_PLUGIN_PATH="$work/plugins" \
    QT_QPA_GENERIC_PLUGINS=tessarinebatch TESSARINE_DRIVER_ANSWER=2 \
    TESSARINE_DRIVER_REPORT="$home/report" \
    timeout 120 "$unpacked/usr/bin/tessarine" >"$home.log" 2>&1)
  echo $? >"$home.status"
}

# Exactly 0001.bmp and 0002.bmp in the folder, bitmaps of a card's size.
two_cards_in() {
  diff <(printf '%s\n' 0001.bmp 0002.bmp) <(LC_ALL=C ls -A "$1") || return 1
  local name
  for name in 0001.bmp 0002.bmp; do
    [ "$(stat -c %s "$1/$name")" -eq "$card_bytes" ] && [ "$(head -c 2 "$1/$name")" = BM ] ||
      { echo "$1/$name: $(stat -c %s "$1/$name") bytes"; return 1; }
  done
}
# only_in FOLDER NAME...: the folder holds those names and nothing else.
only_in() { local folder=$1; shift; diff <(printf '%s\n' "$@") <(LC_ALL=C ls -A "$folder"); }
said() { diff <(printf '%s\n' "$2") "$1/report"; }  # said HOME MESSAGE: all it showed
ended_well() { [ "$(cat "$1.status")" -eq 0 ] || { cat "$1.log"; return 1; }; }

# A batch of the program run by USER from a usr/bin it cannot write: the cards go to
# muchas in the pictures folder, made with its parents, and the message names it.
check_batch_to_pictures() {
  local home=$1 user=$2 how=$3
  new_home "$home" "$user"
  run_batch "$home" "$user"
  check "$how: termina con 0" ended_well "$home"
  check "$how: los 2 cartones, de $card_bytes bytes, en \$HOME/Imágenes/muchas" \
    two_cards_in "$home/Imágenes/muchas"
  check "$how: el mensaje nombra la carpeta" \
    said "$home" "Creados 2 cartones del bingo en $home/Imágenes/muchas ..."
  check "$how: nada nuevo en usr/bin" only_in "$unpacked/usr/bin" tessarine tessarine-bingo tessarine-cards
}

check_installed_batches() {
  if ! driver_plugins; then
    tail -20 "$work/driver-build.log"
    check "el plugin que conduce el programa se compila ($test_build)" false
    return
  fi
  local bin=$unpacked/usr/bin
  if mount --bind "$bin" "$bin" 2>"$work/mount.log"; then
    read_only_mount=$bin
    if mount -o remount,bind,ro "$bin" 2>>"$work/mount.log"; then
      check_batch_to_pictures "$work/home-ro" root "usr/bin de solo lectura (root)"
    else
      echo "# omitido: usr/bin de solo lectura: $(cat "$work/mount.log")"
    fi
    umount "$bin" && read_only_mount=""
  else
    echo "# omitido: usr/bin de solo lectura: la máquina no deja montar: $(cat "$work/mount.log")"
  fi
  check_batch_to_pictures "$work/home-nobody" nobody "un usuario corriente (nobody)"

  # Where usr/bin can be written, the batch stays beside the program, as it always has.
  local home=$work/home-rw
  new_home "$home" root
  run_batch "$home" root
  check "usr/bin escribible: termina con 0" ended_well "$home"
  check "usr/bin escribible: los 2 cartones en usr/bin/muchas" two_cards_in "$bin/muchas"
  check "usr/bin escribible: el mensaje de siempre" said "$home" "Creados 2 cartones del bingo ..."
  check "usr/bin escribible: nada en \$HOME/Imágenes" [ ! -e "$home/Imágenes" ]
  check "usr/bin escribible: en usr/bin solo muchas de nuevo" \
    only_in "$bin" muchas tessarine tessarine-bingo tessarine-cards
  rm -rf "$bin/muchas"
}

# ---- The Windows zip ------------------------------------------------------------------
objdump=i686-w64-mingw32-objdump
# The DLLs an executable imports, one a line, in capitals.
imported_dlls() { "$objdump" -p "$1" | sed -n 's/^\tDLL Name: //p' | tr a-z A-Z; }
only_windows_dlls() {
  [ -n "$(imported_dlls "$1")" ] &&
    [ -z "$(imported_dlls "$1" | grep -vxE \
      '(KERNEL32|USER32|GDI32|COMDLG32|COMCTL32|OLE32|MSVCRT|ADVAPI32|SHELL32|WINMM|WS2_32|IPHLPAPI)\.DLL')" ]
}
subsystem() { "$objdump" -p "$1" | sed -n 's/^Subsystem.*(\(.*\))$/\1/p'; }
crlf_only() { [ "$(grep -c $'\r$' "$1")" -eq "$(wc -l <"$1")" ] && [ "$(wc -l <"$1")" -gt 0 ]; }

check_zip() {
  local log=$work/package-zip.log zip
  scripts/package zip >"$log" 2>&1
  zip=$(sed -n 's/^Zip para Windows: *\([^ ]*\).*/\1/p' "$log")
  if [ -z "$zip" ]; then
    tail -20 "$log"
    check "scripts/package zip hace el zip" false
    return
  fi
  check "scripts/package zip deja build/dist/tessarine-$version-win32.zip" \
    [ "$zip" = "build/dist/tessarine-$version-win32.zip" -a -f "$zip" ]
  local folder=tessarine-$version-win32
  echo "# unzip -l $zip"
  unzip -l "$zip" | sed 's/^/#   /'
  unzip -Z1 "$zip" | grep -v '/$' | LC_ALL=C sort >"$work/zip-list"
  check "el zip trae $folder/tessarine.exe, tessarine-cards.exe, tessarine-bingo.exe, README.txt y LICENCIAS.txt, nada más" \
    diff <(printf '%s\n' "$folder/LICENCIAS.txt" "$folder/README.txt" "$folder/tessarine-bingo.exe" \
           "$folder/tessarine-cards.exe" "$folder/tessarine.exe") "$work/zip-list"
  unzip -q "$zip" -d "$work/zip"
  local exe=$work/zip/$folder
  check "tessarine.exe: PE32 para i386" grep -q 'file format pei-i386' \
    <("$objdump" -f "$exe/tessarine.exe" 2>&1)
  check "tessarine.exe: programa de ventanas" [ "$(subsystem "$exe/tessarine.exe")" = "Windows GUI" ]
  check "tessarine-cards.exe: PE32 para i386" grep -q 'file format pei-i386' \
    <("$objdump" -f "$exe/tessarine-cards.exe" 2>&1)
  check "tessarine-cards.exe: programa de consola" \
    [ "$(subsystem "$exe/tessarine-cards.exe")" = "Windows CUI" ]
  check "tessarine-bingo.exe: PE32 para i386" grep -q 'file format pei-i386' \
    <("$objdump" -f "$exe/tessarine-bingo.exe" 2>&1)
  check "tessarine-bingo.exe: programa de ventanas" \
    [ "$(subsystem "$exe/tessarine-bingo.exe")" = "Windows GUI" ]
  local program
  for program in tessarine.exe tessarine-cards.exe tessarine-bingo.exe; do
    check "$program: solo DLL de Windows (enlazado estático)" only_windows_dlls "$exe/$program"
  done
  # The stripped executable still runs: the card of a clock reading as text, under Wine.
  # Where this machine runs no 32-bit code, the 64-bit build of the same sources, stripped
  # as the zip's is, stands in under 64-bit Wine.
  choose_windows_build_to_run
  local runnable=$exe/tessarine-cards.exe wine=wine arch=win32 loader=""
  if [ "$TESSARINE_WINE_BITS" = 64 ]; then
    runnable=$work/tessarine-cards-64.exe wine=/usr/lib/wine/wine64 arch=win64 loader=$wine
    x86_64-w64-mingw32-strip -o "$runnable" "$TESSARINE_WINE_BUILD/cli/tessarine-cards.exe" ||
      runnable=""
    chmod 755 "$work" "$runnable" 2>/dev/null
    echo "# bajo Wine: $TESSARINE_WINE_BUILD/cli/tessarine-cards.exe en lugar del del zip," \
      "porque $TESSARINE_WINE_REASON"
  fi
  if [ -x "$wine" ] || command -v "$wine" >/dev/null; then
    as_user env WINEPREFIX="$work/home/wine" WINEARCH=$arch ${loader:+WINELOADER=$loader} \
      WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" timeout 300 "$wine" "$runnable" \
      --layout --time "$clock" 2>/dev/null | tr -d '\r' >"$work/layout-windows"
    as_user env WINEPREFIX="$work/home/wine" wineserver -w  # its files go with $work
    check "tessarine-cards.exe ($TESSARINE_WINE_BITS bits), bajo Wine, hace un cartón como texto" \
      is_layout "$work/layout-windows"
    if [ -s "$work/layout-linux" ]; then
      check "el mismo cartón que tessarine-cards del paquete de Debian" \
        diff "$work/layout-linux" "$work/layout-windows"
    fi
  else
    echo "# sin Wine: tessarine-cards.exe no se ejecuta"
  fi
  local readme=$exe/README.txt
  check "README.txt: UTF-8 con marca de orden de bytes" \
    [ "$(head -c 3 "$readme" | od -An -tx1 | tr -d ' ')" = efbbbf ]
  check "README.txt: UTF-8 válido" iconv -f UTF-8 -t UTF-8 -o /dev/null "$readme"
  check "README.txt: líneas terminadas en CRLF" crlf_only "$readme"
  check "README.txt: en castellano, con la versión $version" \
    grep -q "^Tessarine $version para Windows" <(sed 's/^\xef\xbb\xbf//; s/\r$//' "$readme")
  check "README.txt: dice para qué es tessarine-bingo.exe" \
    grep -q '^tessarine-bingo.exe  la ventana para jugar la partida' <(sed 's/\r$//' "$readme")
}

case "$what" in
  deb) check_deb ;;
  zip) check_zip ;;
  *) check_deb; check_zip ;;
esac
finish
