# Shared by scripts/run, scripts/test and scripts/package: installs the Debian packages
# that are missing, in parts, so that an optional one that cannot be had (the 32-bit Wine
# on a day its mirror is mid-sync) never takes the others down with it. Sourced, not run.

# Packages of the core build, the tests and the Linux program.
TESSARINE_PACKAGES=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libfreetype-dev libfontconfig-dev fonts-wine fonts-dejavu-core
  qt6-base-dev qt6-translations-l10n libxcb1-dev qt6-wayland weston
  qt6-speech-dev qt6-declarative-dev qt6-speech-speechd-plugin speech-dispatcher espeak-ng  # the bingo voice (Qt 6.4's speech module asks for QmlIntegration)
  qt6-multimedia-dev sox  # the recordings of the numbers, made by espeak-ng and sox, played by Qt
  pulseaudio    # the null sink the recordings are played to in their test
  zlib1g-dev libpng-dev poppler-utils zbar-tools
  xvfb xauth python3-pil
  openbox x11-utils xdotool
  librsvg2-bin  # the icon's PNG sizes, drawn from its SVG at build time
  e2fsprogs     # mkfs.ext4, for the power-cut test's disk image
  faketime      # a run fixed by --time, tested with the clock set before and after it
  libcpp-httplib-dev libqrencode-dev  # the phones' page: its HTTP server and its address's QR code
)
# The phones' page in a real browser (tests/e2e/qt/page_test.cpp): optional, the test says
# it was skipped and why where these cannot be had.
TESSARINE_BROWSER_PACKAGES=(chromium chromium-driver python3-selenium)
source "$(dirname "${BASH_SOURCE[0]}")/windows.sh"
# Making the Debian package (dpkg-shlibdeps, dpkg-buildflags) and checking it and the zip.
TESSARINE_PACKAGING_PACKAGES=(dpkg-dev desktop-file-utils appstream lintian man-db unzip)

missing_packages() {
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q '^install ok installed$' ||
      printf '%s\n' "$package"
  done
}

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# One apt-get update a run, and only when something is to be installed.
apt_updated=""
update_package_lists() {
  [ -n "$apt_updated" ] && return 0
  apt_updated=yes
  # A mirror caught mid-sync fails one index; the others still serve, so go on.
  as_root apt-get update -qq || echo "aviso: apt-get update no terminó bien; se sigue" >&2
}

# Installs the packages named that are missing. Prints apt's own words into LOG and
# returns apt's status.
apt_install() {
  local log=$1
  shift
  if printf '%s\n' "$@" | grep -q ':i386$' &&
     ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
    apt_updated=""
  fi
  update_package_lists
  DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq "$@" >"$log" 2>&1
}

# Installs the packages named after NOTE ($1, said beside their names) that are missing:
# their names in missing_now, apt's words in the file install_log; apt's status, 0 when
# none was missing.
install_missing() {
  local note=$1
  shift
  install_log=""
  mapfile -t missing_now < <(missing_packages "$@")
  [ ${#missing_now[@]} -eq 0 ] && return 0
  echo "Instalando: ${missing_now[*]}$note"
  install_log=$(mktemp)
  apt_install "$install_log" "${missing_now[@]}"
}

# The packages every build needs: all of them, or the script stops with apt's reason and
# the names of the packages that cannot be had.
install_packages() {
  if install_missing "" "$@"; then
    rm -f "$install_log"
    return 0
  fi
  local -a broken=() package
  for package in "${missing_now[@]}"; do
    DEBIAN_FRONTEND=noninteractive as_root apt-get install -s -qq "$package" >/dev/null 2>&1 ||
      broken+=("$package")
  done
  {
    echo "No se pudieron instalar los paquetes que hacen falta: ${broken[*]:-${missing_now[*]}}"
    echo "apt-get dijo:"
    grep -v '^\(Selecting\|Preparing\|Unpacking\|Setting up\|Processing\|(Reading\)' "$install_log" |
      sed 's/^/  /' | tail -n 20
  } >&2
  rm -f "$install_log"
  exit 1
}

# Packages a test can do without: installed where they can be, else a warning naming them
# and apt's reason; the rest of the install goes on either way.
install_optional_packages() {
  if ! install_missing " (opcionales: sin ellos se omiten sus pruebas)" "$@"; then
    {
      echo "aviso: no se pudieron instalar ${missing_now[*]}; apt-get dijo:"
      grep '^E:\|: Depends\|Breaks' "$install_log" | sed 's/^/  /' | tail -n 10
    } >&2
  fi
  rm -f "$install_log"
}

# The 32-bit Wine, a step of its own: where it cannot be installed, the Windows tests run
# on the 64-bit stand-in and TESSARINE_WINE32_PROBLEM says why (exported, so that every
# script that chooses the build afterwards says the same).
install_wine32() {
  [ "${TESSARINE_WINE:-}" = 64 ] && return 0
  [ "${TESSARINE_WINE:-}" = 32 ] || machine_runs_32bit_x86 || return 0
  [ -z "$(missing_packages wine32:i386)" ] && return 0
  echo "Instalando: wine32:i386 (opcional: sin él se prueba el programa de 64 bits)"
  local log
  log=$(mktemp)
  if ! apt_install "$log" wine32:i386; then
    export TESSARINE_WINE32_PROBLEM="no se pudo instalar wine32:i386"
    {
      echo "aviso: $TESSARINE_WINE32_PROBLEM; apt-get dijo:"
      grep '^E:\|: Depends\|Breaks' "$log" | sed 's/^/  /' | tail -n 10
    } >&2
  fi
  rm -f "$log"
}
