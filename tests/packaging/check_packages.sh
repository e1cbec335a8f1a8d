#!/usr/bin/env bash
# The packages as a user gets them: scripts/package makes the Debian package (in its own
# Release build, build/package) and the Windows zip (from build/windows), then this
# checks them with the tools Debian and freedesktop.org provide for it: dpkg-deb,
# desktop-file-validate, appstreamcli, man, lintian; and what those do not know: every
# file in its place with its mode, library dependencies computed, versions and addresses
# agreeing with the code, the manual page agreeing with --help, the icons of the sizes
# their folders say, the zip's executables needing no DLL that Windows lacks.
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
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home"
chmod -R 755 "$work"
chown nobody "$work/home"

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
  for file in /usr/bin/tessarine /usr/bin/tessarine-cards; do
    check "contiene $file (-rwxr-xr-x root/root)" has_entry -rwxr-xr-x "$file"
  done
  for file in /usr/share/applications/tessarine.desktop \
      /usr/share/metainfo/org.example.tessarine.metainfo.xml \
      /usr/share/icons/hicolor/48x48/apps/tessarine.png \
      /usr/share/icons/hicolor/128x128/apps/tessarine.png \
      /usr/share/icons/hicolor/256x256/apps/tessarine.png \
      /usr/share/icons/hicolor/scalable/apps/tessarine.svg \
      /usr/share/man/man1/tessarine-cards.1.gz /usr/share/man/man1/tessarine.1.gz \
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
  for page in tessarine-cards tessarine; do
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
}

# ---- The Windows zip ------------------------------------------------------------------
objdump=i686-w64-mingw32-objdump
# The DLLs an executable imports, one a line, in capitals.
imported_dlls() { "$objdump" -p "$1" | sed -n 's/^\tDLL Name: //p' | tr a-z A-Z; }
only_windows_dlls() {
  [ -n "$(imported_dlls "$1")" ] &&
    [ -z "$(imported_dlls "$1" | grep -vxE \
      '(KERNEL32|USER32|GDI32|COMDLG32|COMCTL32|OLE32|MSVCRT|ADVAPI32|SHELL32)\.DLL')" ]
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
  check "el zip trae $folder/tessarine.exe, tessarine-cards.exe y README.txt, nada más" \
    diff <(printf '%s\n' "$folder/README.txt" "$folder/tessarine-cards.exe" \
           "$folder/tessarine.exe") "$work/zip-list"
  unzip -q "$zip" -d "$work/zip"
  local exe=$work/zip/$folder
  check "tessarine.exe: PE32 para i386" grep -q 'file format pei-i386' \
    <("$objdump" -f "$exe/tessarine.exe" 2>&1)
  check "tessarine.exe: programa de ventanas" [ "$(subsystem "$exe/tessarine.exe")" = "Windows GUI" ]
  check "tessarine-cards.exe: PE32 para i386" grep -q 'file format pei-i386' \
    <("$objdump" -f "$exe/tessarine-cards.exe" 2>&1)
  check "tessarine-cards.exe: programa de consola" \
    [ "$(subsystem "$exe/tessarine-cards.exe")" = "Windows CUI" ]
  local program
  for program in tessarine.exe tessarine-cards.exe; do
    check "$program: solo DLL de Windows (enlazado estático)" only_windows_dlls "$exe/$program"
  done
  # The stripped executable still runs: the card of a clock reading as text, under Wine.
  if command -v wine >/dev/null; then
    as_user env WINEPREFIX="$work/home/wine" WINEARCH=win32 WINEDEBUG=-all \
      WINEDLLOVERRIDES="mscoree,mshtml=" timeout 300 wine "$exe/tessarine-cards.exe" \
      --layout --time "$clock" 2>/dev/null | tr -d '\r' >"$work/layout-windows"
    as_user env WINEPREFIX="$work/home/wine" wineserver -w  # its files go with $work
    check "tessarine-cards.exe del zip, bajo Wine, hace un cartón como texto" is_layout \
      "$work/layout-windows"
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
}

case "$what" in
  deb) check_deb ;;
  zip) check_zip ;;
  *) check_deb; check_zip ;;
esac
finish
