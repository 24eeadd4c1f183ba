#!/usr/bin/env bash
# Installs what the two builds and the three test tiers need on Debian 12.
# Idempotent: asks apt only for packages that are missing.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

packages=(
  # native build and tests
  cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev
  libosmesa6-dev libglu1-mesa-dev libpng-dev zlib1g-dev pkg-config
  # the XScreenSaver hack: Xlib and GLX, and XRes for its tests under Xvfb
  libx11-dev libgl-dev libxres-dev
  # win32 cross-build
  mingw-w64 g++-mingw-w64-i686 gcc-mingw-w64-i686 binutils-mingw-w64-i686
  # win64 cross-build, 64-bit Wine and the 64-bit OpenGL it renders through
  g++-mingw-w64-x86-64 gcc-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  wine64 libgl1 libgl1-mesa-dri libglx-mesa0 libxcomposite1
  # the installers: the setup program, and the Windows Installer packages built and
  # read with msitools
  nsis wixl msitools
  # Wine and the i386 OpenGL it renders through, on a virtual X server
  wine wine32:i386 libgl1:i386 libgl1-mesa-dri:i386 libglx-mesa0:i386
  # Wine draws another process's child OpenGL window through XComposite
  libxcomposite1:i386
  xvfb xauth x11-utils
  # driving windows by hand in the measuring scripts
  xdotool
  # two monitors for Wine: Xephyr with Xinerama, read by Wine through libXinerama
  xserver-xephyr libxinerama1 libxinerama1:i386
  # reading the manifests and versions embedded in the programs
  icoutils
  # reading screenshots
  imagemagick
  # the Linux hack's Debian package: built with debhelper, checked with lintian, its
  # XML with xmllint, its manual page found with man; run by Debian's XScreenSaver
  # daemon in the package test (without its recommended extras: the daemon needs none
  # of them to run a hack), beside gltext in tools/measure/bench-linux.sh
  debhelper lintian libxml2-utils man-db procps xscreensaver xscreensaver-gl
  # the hack's caption: FreeType and fontconfig, the face it draws (the package depends
  # on it), and the check of its entry for MATE's screensaver
  libfreetype-dev libfontconfig-dev fonts-liberation desktop-file-utils
  # the release: Authenticode and OpenPGP signatures, the zip, the apt repository's
  # indices, and a Debian 13 chroot for tools/package/check-debian13.sh
  osslsigncode gnupg openssl zip unzip dpkg-dev apt-utils debootstrap
  # tessaryn-enable's check in the tests
  shellcheck
  # the package tiers build the hack's .deb from one source three times (tools/test.sh)
  ccache
)

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
$SUDO apt-get update -qq
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
