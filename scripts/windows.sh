# Shared by scripts/test, scripts/package and the Windows tests: which Windows build this
# machine can run under Wine. Sourced, not run.
#
# The shipped program is 32-bit. Some x86-64 kernels execute no 32-bit code at all (the
# i386 Wine loader gets "Exec format error"); there the same sources built for x86-64
# stand in under 64-bit Wine, and the 32-bit build is only checked statically.

# True where the kernel executes a 32-bit x86 program: a 93-byte static ELF32 whose only
# instructions are exit(42), so a 42 can come from nothing but the program itself. It is
# written under build/ rather than /tmp, which may be mounted noexec.
machine_runs_32bit_x86() {
  [ "$(uname -m)" = x86_64 ] || [ "$(uname -m)" = i686 ] || return 1
  # An emulator registered for 32-bit programs runs the probe but not Wine's loader.
  grep -qs '^enabled' /proc/sys/fs/binfmt_misc/qemu-i386 && return 1
  local probe
  mkdir -p build
  probe=$(mktemp build/.x86-32-probe.XXXXXX) || return 1
  printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\10\64\0\0\0\0\0\0\0' >"$probe"
  printf '\0\0\0\0\64\0\40\0\1\0\0\0\0\0\0\0\1\0\0\0\0\0\0\0\0\200\4\10\0\200\4\10' >>"$probe"
  printf '\135\0\0\0\135\0\0\0\5\0\0\0\0\20\0\0\61\333\263\52\61\300\100\315\200' >>"$probe"
  chmod +x "$probe"
  local status=0
  "$probe" 2>/dev/null || status=$?
  rm -f "$probe"
  [ "$status" -eq 42 ]
}

# The Debian packages of the Windows builds (the zip needs these and nothing more), and of
# the Wine that runs one of them. The 32-bit Wine is not among them: install_wine32 (in
# scripts/packages.sh) tries it on its own, as it may not be had.
# The recordings of the numbers are made on this machine, by its own compiler, espeak-ng and sox.
# The players' page's libraries come from Debian's sources: curl fetches what apt-get source
# misses, patch applies Debian's patches, bzip2 unpacks qrencode's tarball.
TESSARINE_WINDOWS_PACKAGES=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
  g++ espeak-ng sox curl patch bzip2)
TESSARINE_WINE_PACKAGES=(wine wine64)

# Sets TESSARINE_WINE_BITS (32 or 64), TESSARINE_WINE_BUILD (the build folder whose
# programs run under Wine here), TESSARINE_WINE_PRESET and TESSARINE_WINE_REASON.
# TESSARINE_WINE=32 or 64 forces the choice, for a machine where the probe guesses wrong.
choose_windows_build_to_run() {
  local bits reason
  case "${TESSARINE_WINE:-}" in
    32 | 64)
      bits=$TESSARINE_WINE
      reason="TESSARINE_WINE=$TESSARINE_WINE lo pide"
      ;;
    "")
      if ! machine_runs_32bit_x86; then
        bits=64 reason="esta máquina no ejecuta código x86 de 32 bits (Exec format error)"
      elif ! dpkg-query -W -f='${Status}\n' wine32:i386 2>/dev/null | grep -q 'ok installed'; then
        bits=64 reason=${TESSARINE_WINE32_PROBLEM:-"wine32:i386 no está instalado"}
      else
        bits=32 reason="esta máquina ejecuta código x86 de 32 bits"
      fi
      ;;
    *)
      echo "TESSARINE_WINE debe ser 32 o 64, no «$TESSARINE_WINE»" >&2
      return 2
      ;;
  esac
  TESSARINE_WINE_BITS=$bits
  TESSARINE_WINE_REASON=$reason
  if [ "$bits" = 32 ]; then
    TESSARINE_WINE_BUILD=build/windows TESSARINE_WINE_PRESET=windows
  else
    TESSARINE_WINE_BUILD=build/windows64 TESSARINE_WINE_PRESET=windows64
  fi
}

# ---- The players' page's libraries for the Windows builds -------------------------------
# Debian ships cpp-httplib and libqrencode as Linux shared libraries only, so the Windows
# builds take them from Debian's own source packages: cpp-httplib's single httplib.h (with
# Debian's patches) and qrencode's C sources, which CMake builds (cmake/page_libraries.cmake).
# They are fetched once into TESSARINE_THIRD_PARTY (build/third_party, never committed)
# through a private apt configuration, so the system's sources stay as they are.
TESSARINE_THIRD_PARTY=${TESSARINE_THIRD_PARTY:-build/third_party}
# Another Debian mirror where the hall's machine has one nearer.
TESSARINE_DEBIAN_MIRROR=${TESSARINE_DEBIAN_MIRROR:-http://deb.debian.org/debian}
TESSARINE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# apt-get with a private list of sources: bookworm's deb-src only, with its own lists and cache.
# Its folder is absolute, as it is also run from the downloads' folder.
private_apt() {
  local apt=$TESSARINE_THIRD_PARTY/apt
  [ "${apt#/}" != "$apt" ] || apt=$TESSARINE_ROOT/$apt
  apt-get -q -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$apt" \
    -o Dir::State::Lists="$apt/lists" -o Dir::Cache="$apt/cache" \
    -o APT::Sandbox::User=root "$@"
}

# Downloads the source package's orig tarball (and, for PACKAGE's patches, its debian
# tarball) into the current folder, each checked against the hash the signed index gives.
# apt-get source stops at the first file it cannot have (a mirror may lack a debian.tar.xz
# it lists); what it missed is then fetched by name.
download_source_package() {
  local package=$1 with_patches=$2 uri name size hash
  private_apt source --download-only "$package" >/dev/null 2>&1 || true
  while read -r uri name size hash; do
    case "$name" in
      *.orig.tar.*) ;;
      *.debian.tar.*) [ "$with_patches" = yes ] || continue ;;
      *) continue ;;
    esac
    uri=${uri//\'/}
    if ! echo "${hash#SHA256:}  $name" | sha256sum -c --status 2>/dev/null; then
      curl -fsSL --retry 2 -o "$name" "$uri" || return 1
      echo "${hash#SHA256:}  $name" | sha256sum -c --status || return 1
    fi
  done < <(private_apt --print-uris source "$package" 2>/dev/null | grep "^'")
  compgen -G "${package}_*.orig.tar.*" >/dev/null
}

# Unpacks httplib.h, patched as Debian patches it, into $out/cpp-httplib/.
unpack_httplib() {
  local downloads=$1 out=$2 patch
  local tree=$out/cpp-httplib.tmp
  rm -rf "$tree" && mkdir -p "$tree" || return 1
  tar -xf "$downloads"/cpp-httplib_*.orig.tar.* -C "$tree" --strip-components=1 &&
    tar -xf "$downloads"/cpp-httplib_*.debian.tar.* -C "$tree" || return 1
  if [ -f "$tree/debian/patches/series" ]; then
    while read -r patch; do
      [ -n "$patch" ] && [ "${patch#\#}" = "$patch" ] || continue
      patch -s -d "$tree" -p1 <"$tree/debian/patches/$patch" || return 1
    done <"$tree/debian/patches/series"
  fi
  rm -rf "$out/cpp-httplib" && mkdir -p "$out/cpp-httplib" &&
    cp "$tree/httplib.h" "$tree/LICENSE" "$out/cpp-httplib/" && rm -rf "$tree"
}

# Unpacks qrencode's library sources (its C files and headers, not its tool) into $out/qrencode/.
unpack_qrencode() {
  local downloads=$1 out=$2
  rm -rf "$out/qrencode" && mkdir -p "$out/qrencode" &&
    tar -xf "$downloads"/qrencode_*.orig.tar.* -C "$out/qrencode" --strip-components=1
}

# Fetches and unpacks both, unless already there. Never fails: where a mirror fails, it
# says so, and the Windows builds are made without the page (CMake says so too).
fetch_windows_page_sources() {
  local out=$TESSARINE_THIRD_PARTY
  [ -f "$out/cpp-httplib/httplib.h" ] && [ -f "$out/qrencode/qrencode.h" ] && return 0
  echo "Fuentes de Debian de cpp-httplib y qrencode para los programas de Windows"
  mkdir -p "$out/apt/lists/partial" "$out/apt/cache/archives/partial" "$out/downloads" || return 0
  printf '%s\n' "Types: deb-src" "URIs: $TESSARINE_DEBIAN_MIRROR" "Suites: bookworm" \
    "Components: main" "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg" \
    >"$out/apt/debian-sources.sources"
  local problem=""
  if ! private_apt update >"$out/apt/update.log" 2>&1; then
    problem="apt-get update de las fuentes de Debian falló"
  elif ! (cd "$out/downloads" && download_source_package cpp-httplib yes &&
    download_source_package qrencode no); then
    problem="no se pudieron descargar las fuentes de cpp-httplib o de qrencode"
  elif ! unpack_httplib "$out/downloads" "$out" || ! unpack_qrencode "$out/downloads" "$out"; then
    problem="no se pudieron desempaquetar las fuentes de cpp-httplib o de qrencode"
  fi
  if [ -n "$problem" ]; then
    rm -rf "$out/cpp-httplib" "$out/qrencode"
    echo "aviso: $problem; los programas de Windows se hacen sin la página para móviles" >&2
  fi
  return 0
}
