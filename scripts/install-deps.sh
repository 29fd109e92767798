#!/bin/bash
# Installs what building and testing both targets needs on Debian 12:
# the MinGW-w64 cross compiler, Wine with its 32-bit half, Xvfb, the
# Japanese locale and fonts, and clang's fuzzing runtime. Skips the work
# when everything is already present.
set -euo pipefail

need_root() { if [ "$(id -u)" -ne 0 ]; then echo "sudo"; fi; }
SUDO=$(need_root)

PKGS=(cmake ninja-build g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev
      mingw-w64 clang-14 libclang-rt-14-dev llvm-14
      wine wine64 wine32:i386 xvfb xauth x11-utils imagemagick
      locales fonts-ipafont-gothic fonts-ipafont-mincho fonts-wine
      tmux python3 binutils-mingw-w64-i686 time)

missing=()
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  missing=("${PKGS[@]}")
else
  for p in "${PKGS[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
fi

if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  if ! grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  fi
  $SUDO locale-gen >/dev/null 2>&1 || $SUDO localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
