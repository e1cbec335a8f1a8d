#!/usr/bin/env bash
# The install and choice steps of scripts/test on a bad day, with stand-ins for apt-get,
# dpkg and dpkg-query first on PATH: the 32-bit Wine cannot be installed (as when its
# mirror is mid-sync) and must not take the other packages down with it; the Windows
# build under Wine is then the 64-bit stand-in, said with why; TESSARINE_WINE forces the
# choice; a package every build needs that cannot be had stops the script, naming it.
set -uo pipefail
scripts=$(cd "$(dirname "$0")/../../scripts" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0 failed=0
check() {
  local what=$1
  shift
  if "$@"; then passed=$((passed + 1)); echo "ok - $what"
  else failed=$((failed + 1)); echo "FALLO - $what"; fi
}

mkdir -p "$work/bin"
# apt-get: installs by writing the names into $work/installed; wine32:i386 and
# no-such-package cannot be had, with apt's own words.
cat >"$work/bin/apt-get" <<'STUB'
#!/usr/bin/env bash
echo "apt-get $*" >>"$STUB_DIR/apt.log"
[ "$1" = update ] && exit 0
packages=()
for word in "$@"; do case "$word" in -*|install) ;; *) packages+=("$word") ;; esac; done
for package in "${packages[@]}"; do
  case "$package" in
    wine32:i386)
      echo "The following packages have unmet dependencies:"
      echo " wine32:i386 : Depends: libwine:i386 (= 8.0~repack-4) but it is not going to be installed"
      echo "E: Unable to correct problems, you have held broken packages." >&2
      exit 100 ;;
    no-such-package) echo "E: Unable to locate package no-such-package" >&2; exit 100 ;;
  esac
done
[[ " $* " == *" -s "* ]] && exit 0
printf '%s\n' "${packages[@]}" >>"$STUB_DIR/installed"
STUB
cat >"$work/bin/dpkg-query" <<'STUB'
#!/usr/bin/env bash
package=${!#}
grep -qx "$package" "$STUB_DIR/installed" 2>/dev/null || exit 1
echo "install ok installed"
STUB
cat >"$work/bin/dpkg" <<'STUB'
#!/usr/bin/env bash
case "$1" in
  --print-foreign-architectures) cat "$STUB_DIR/architectures" 2>/dev/null ;;
  --add-architecture) echo "$2" >>"$STUB_DIR/architectures" ;;
esac
STUB
chmod +x "$work/bin/"*
export PATH="$work/bin:$PATH" STUB_DIR=$work

# A fresh machine of this kind, whose kernel runs 32-bit code (or not), in a subshell.
on_fresh_machine() {  # on_fresh_machine RUNS32(yes|no) COMMANDS...
  local runs32=$1
  shift
  rm -f "$work/installed" "$work/apt.log" "$work/architectures"
  (
    unset TESSARINE_WINE32_PROBLEM
    cd "$work" && source "$scripts/packages.sh"
    if [ "$runs32" = yes ]; then machine_runs_32bit_x86() { return 0; }
    else machine_runs_32bit_x86() { return 1; }; fi
    "$@"
  ) >"$work/out" 2>&1
}
said() { grep -qF -- "$1" "$work/out"; }
installed() { grep -qsx -- "$1" "$work/installed"; }
asked_apt_for() { grep -qs -- "$1" "$work/apt.log"; }

bad_mirror_day() {
  install_packages cmake wine64 || return 1
  install_wine32
  choose_windows_build_to_run
  echo "elegido: $TESSARINE_WINE_BITS $TESSARINE_WINE_BUILD $TESSARINE_WINE_PRESET «$TESSARINE_WINE_REASON»"
  # A script run afterwards (the package checks) chooses alike and says the same.
  bash -c "source '$scripts/windows.sh'; machine_runs_32bit_x86() { return 0; };
    choose_windows_build_to_run; echo \"después: \$TESSARINE_WINE_BITS «\$TESSARINE_WINE_REASON»\""
}
on_fresh_machine yes bad_mirror_day
check "sin wine32:i386, el resto se instala" eval 'installed cmake && installed wine64'
check "se intentó wine32:i386 en un paso aparte, con la arquitectura i386" \
  eval 'asked_apt_for "install -y -qq wine32:i386" && grep -qx i386 "$work/architectures"'
check "avisa con las palabras de apt" said "aviso: no se pudo instalar wine32:i386; apt-get dijo:"
check "avisa con las palabras de apt (la razón)" said "held broken packages"
check "se prueba el de 64 bits, y dice por qué" \
  said "elegido: 64 build/windows64 windows64 «no se pudo instalar wine32:i386»"
check "otro script que elige después dice lo mismo" said "después: 64 «no se pudo instalar wine32:i386»"

forced_64() {
  export TESSARINE_WINE=64
  install_packages cmake
  install_wine32
  choose_windows_build_to_run
  echo "elegido: $TESSARINE_WINE_BITS $TESSARINE_WINE_BUILD «$TESSARINE_WINE_REASON»"
}
on_fresh_machine yes forced_64
check "TESSARINE_WINE=64: ni se intenta wine32:i386" eval '! asked_apt_for wine32'
check "TESSARINE_WINE=64: el de 64 bits, y lo dice" said "elegido: 64 build/windows64 «TESSARINE_WINE=64 lo pide»"

forced_32() {
  export TESSARINE_WINE=32
  choose_windows_build_to_run
  echo "elegido: $TESSARINE_WINE_BITS $TESSARINE_WINE_BUILD «$TESSARINE_WINE_REASON»"
}
on_fresh_machine no forced_32
check "TESSARINE_WINE=32 donde la sonda dice que no: el de 32 bits" \
  said "elegido: 32 build/windows «TESSARINE_WINE=32 lo pide»"

no_32bit_kernel() {
  install_wine32
  choose_windows_build_to_run
  echo "elegido: $TESSARINE_WINE_BITS «$TESSARINE_WINE_REASON»"
}
on_fresh_machine no no_32bit_kernel
check "un núcleo sin código de 32 bits: ni se intenta wine32, y se dice por qué" \
  eval '! asked_apt_for wine32 && said "elegido: 64 «esta máquina no ejecuta código x86 de 32 bits"'

wrong_value() { export TESSARINE_WINE=86; choose_windows_build_to_run; echo "estado $?"; }
on_fresh_machine yes wrong_value
check "TESSARINE_WINE=86: rechazado" eval 'said "estado 2" && said "TESSARINE_WINE debe ser 32 o 64, no «86»"'

needed_missing() { install_packages cmake no-such-package; echo "siguió"; }
on_fresh_machine yes needed_missing
status=$?
check "un paquete necesario que falta para el script" eval '[ $status -ne 0 ] && ! said siguió'
check "nombra el paquete" said "No se pudieron instalar los paquetes que hacen falta: no-such-package"
check "con la razón de apt" said "Unable to locate package no-such-package"
check "y no instala a medias" eval '! installed cmake'

all_there() { install_packages cmake; install_packages cmake; }
on_fresh_machine yes all_there
check "lo ya instalado no vuelve a apt" [ "$(grep -c install "$work/apt.log")" -eq 1 ]

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
