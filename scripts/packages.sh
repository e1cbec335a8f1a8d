# Shared by scripts/run and scripts/test: installs the Debian packages that are missing.
# Sourced, not run.

# Packages of the core build, the tests and the Linux program.
TESSARINE_PACKAGES=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libfreetype-dev libfontconfig-dev fonts-wine fonts-dejavu-core
  qt6-base-dev qt6-translations-l10n libxcb1-dev qt6-wayland weston
  qt6-speech-dev qt6-declarative-dev qt6-speech-speechd-plugin speech-dispatcher espeak-ng  # the bingo voice (Qt 6.4's speech module asks for QmlIntegration)
  zlib1g-dev libpng-dev poppler-utils zbar-tools
  xvfb xauth python3-pil
  openbox x11-utils xdotool
  librsvg2-bin  # the icon's PNG sizes, drawn from its SVG at build time
  e2fsprogs     # mkfs.ext4, for the power-cut test's disk image
)
# The Windows builds (32-bit, and the 64-bit stand-in) and the Wine that runs one of them.
source "$(dirname "${BASH_SOURCE[0]}")/windows.sh"
mapfile -t TESSARINE_WINDOWS_PACKAGES < <(windows_packages)
# Making the Debian package (dpkg-shlibdeps, dpkg-buildflags) and checking it and the zip.
TESSARINE_PACKAGING_PACKAGES=(dpkg-dev desktop-file-utils appstream lintian man-db unzip)

missing_packages() {
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q '^install ok installed$' ||
      printf '%s\n' "$package"
  done
}

install_packages() {
  local -a missing
  mapfile -t missing < <(missing_packages "$@")
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Instalando: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  if printf '%s\n' "${missing[@]}" | grep -q ':i386$' &&
     ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  # A mirror caught mid-sync fails one index; the others still serve, so go on.
  $sudo apt-get update -qq || echo "aviso: apt-get update no terminó bien; se sigue" >&2
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}
