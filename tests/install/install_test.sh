#!/usr/bin/env bash
# Installs the build into a temporary prefix and runs the installed programs from there,
# away from the source and build folders.
# Usage: install_test.sh CMAKE BUILD_DIR [gui]
set -euo pipefail

cmake=$1 build=$2 with_gui=${3:-}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

"$cmake" --install "$build" --prefix "$prefix" >/dev/null
cd /

fail() { echo "$*"; exit 1; }
expect_installed() {
  local file
  for file in "$@"; do [[ -f "$prefix/$file" ]] || fail "not installed: $file"; done
}

expect_installed bin/trivo share/trivo/viewer/index.html share/trivo/viewer/viewer.css \
  share/trivo/viewer/viewer.js
help=$("$prefix/bin/trivo" --help) || fail "installed trivo --help ended with status $?"
grep -qF "Usage: trivo" <<<"$help" || fail "installed trivo --help printed: $help"

[[ "$with_gui" == gui ]] || exit 0
expect_installed bin/trivo-editor share/applications/trivo-editor.desktop \
  share/icons/hicolor/scalable/apps/trivo-editor.svg share/mime/packages/trivo.xml
# The desktop program runs until the user ends it: still running after a moment passes.
status=0
QT_QPA_PLATFORM=offscreen timeout 3 "$prefix/bin/trivo-editor" || status=$?
[[ $status -eq 124 ]] || fail "installed trivo-editor ended early with status $status"
