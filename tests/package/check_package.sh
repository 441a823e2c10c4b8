#!/usr/bin/env bash
# Checks the Debian package as a user's machine would see it: its file list,
# the desktop entry and AppStream file, lintian, and the programs run from the
# unpacked package (so they must find their data under ../share/ombrik).
# Usage: check_package.sh PACKAGE.deb PHOTO
set -uo pipefail
deb=$1
photo=$2
passed=0
failed=0
check() {  # check NAME COMMAND...: runs the command, counts and reports it
  local name=$1; shift
  if out=$("$@" 2>&1); then
    passed=$((passed + 1)); echo "PASS $name"
  else
    failed=$((failed + 1)); echo "FAIL $name"; echo "$out" | sed 's/^/    /' | tail -20
  fi
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's#^\./#/#' > "$work/list"

has_files() {
  local missing=0
  for f in /usr/bin/ombrik /usr/bin/ombrik-cli \
           /usr/share/ombrik/frames/pframes /usr/share/ombrik/frames/pframes_t \
           /usr/share/ombrik/help/index.html /usr/share/ombrik/photos/coffee.png \
           /usr/share/applications/org.ombrik.PhotoEditor.desktop \
           /usr/share/metainfo/org.ombrik.PhotoEditor.metainfo.xml \
           /usr/share/icons/hicolor/scalable/apps/ombrik.svg \
           /usr/share/man/man1/ombrik.1.gz /usr/share/man/man1/ombrik-cli.1.gz \
           /usr/share/doc/ombrik/copyright /usr/share/doc/ombrik/changelog.gz; do
    grep -qx "$f" "$work/list" || { echo "missing $f"; missing=1; }
  done
  for s in 16 22 24 32 48 64 128 256; do
    grep -qx "/usr/share/icons/hicolor/${s}x${s}/apps/ombrik.png" "$work/list" || { echo "missing icon ${s}"; missing=1; }
  done
  return $missing
}
check "package lists every file" has_files
check "dependencies come from the linked libraries" \
  bash -c "dpkg-deb -f '$deb' Depends | grep -q 'libqt6gui6' && dpkg-deb -f '$deb' Depends | grep -q 'libgraphicsmagick' && dpkg-deb -f '$deb' Recommends | grep -q 'qt6-translations-l10n'"

dpkg-deb -x "$deb" "$work/root"
check "desktop entry validates" desktop-file-validate "$work/root/usr/share/applications/org.ombrik.PhotoEditor.desktop"
check "desktop entry lists the photo types" \
  bash -c "grep -q '^MimeType=.*image/jpeg;.*image/heic;' '$work/root/usr/share/applications/org.ombrik.PhotoEditor.desktop'"
check "AppStream metainfo validates" appstreamcli validate --no-net "$work/root/usr/share/metainfo/org.ombrik.PhotoEditor.metainfo.xml"
check "help page shows the version" bash -c "grep -q 'Version [0-9]' '$work/root/usr/share/ombrik/help/index.html'"

export HOME="$work/home" XDG_DATA_HOME="$work/home/data" XDG_CONFIG_HOME="$work/home/config" \
       XDG_STATE_HOME="$work/home/state" XDG_RUNTIME_DIR="$work/home/run" QT_QPA_PLATFORM=offscreen \
       OMBRIK_INSTANCE_NAME="ombrik-package-check-$$"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset OMBRIK_DATA_DIR
check "ombrik-cli runs from the package" "$work/root/usr/bin/ombrik-cli" --list
check "ombrik-cli converts with one effect" \
  bash -c "'$work/root/usr/bin/ombrik-cli' --effect Emboss '$photo' '$work/out.png' && test -s '$work/out.png'"
check "the codec module is found from the package (a TGA photo converts)" \
  bash -c "convert '$photo' '$work/in.tga' && '$work/root/usr/bin/ombrik-cli' '$work/in.tga' '$work/tga.png' && test -s '$work/tga.png'"
check "the editor starts offscreen with a photo" \
  bash -c "timeout 60 '$work/root/usr/bin/ombrik' --screenshot '$work/shot.png' '$photo' && test -s '$work/shot.png'"
check "brush images go to the user's data folder, not beside the executable" \
  bash -c "test -f '$XDG_DATA_HOME/ombrik/Data/001.pnm' && test ! -e '$work/root/usr/bin/Data'"

if command -v lintian > /dev/null; then
  lintian --no-tag-display-limit "$deb" > "$work/lintian" 2>&1
  check "lintian reports no errors" bash -c "! grep '^E:' '$work/lintian'"
  grep '^[WE]:' "$work/lintian" | sed 's/^/lintian: /'
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
