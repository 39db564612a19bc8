#!/usr/bin/env bash
# Installs the build and test tools Trivo needs on Debian 12 (bookworm).
# Idempotent: asks dpkg what is there and touches apt only when something is missing.
set -euo pipefail

packages=(
  g++            # compiler, with libasan/libubsan for the sanitizer build
  cmake
  ninja-build
  ccache         # compiler cache for repeated builds of scripts/test.sh
  libgtest-dev   # GoogleTest for the core tests
  libicu-dev     # collation and code-page conversion in the core
  libzip-dev     # reading and writing GTFS feeds (ZIP archives)
  pkg-config     # finds libzip
  poppler-utils  # pdftotext and pdftoppm read the stop timetables' PDF back in tests
  qt6-base-dev   # Qt 6 Widgets and Test (pulls in the OpenGL/Vulkan headers Qt's CMake files need)
  qt6-webengine-dev      # the embedded browser of the web copy and preview windows
  qt6-translations-l10n  # Qt's own German texts (standard buttons, file dialogs)
  dpkg-dev       # dpkg-shlibdeps, with which cpack declares the Debian package's libraries
  xvfb           # a virtual display for running the desktop program without a screen
  xauth
  fonts-dejavu-core  # a font, so that Qt lays out texts the same way on a bare system
  chromium           # headless browser checks of the published-timetable preview
  clang-14           # libFuzzer targets
  libclang-rt-14-dev
  unzip              # the command-line tests look into the GTFS feeds
)
# npm for the interop test, which installs node-gtfs with it (and, where this node is older
# than 20.11, a newer Node.js from the npm registry). Only when no npm is there: a Node.js
# from elsewhere brings its own.
command -v npm >/dev/null || packages+=(npm)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  if [[ "$status" != "install ok installed" ]]; then
    missing+=("$package")
  fi
done

if ((${#missing[@]} == 0)); then
  echo "setup: all required packages are installed."
  exit 0
fi

echo "setup: installing ${missing[*]}"
sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
  if command -v sudo >/dev/null 2>&1; then
    sudo_cmd=(sudo)
  else
    echo "setup: missing packages (${missing[*]}) and not running as root; run as root." >&2
    exit 1
  fi
fi

export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
