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
TESSARINE_WINDOWS_PACKAGES=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
  g++ espeak-ng sox)
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
