#!/usr/bin/env bash
# Runs a command (the test suite) as a user with a lived-in profile would:
# settings with an odd threshold, a low save quality and a long recent-files
# list, a recovery journal left by an editor killed while editing, junk brush
# and frame files in the data folder, and an editor running under the default
# instance name with its restore question up. Afterwards the profile must be
# byte for byte what it was: a test that reads or writes the user's folders
# fails the run.
# Usage: planted_profile.sh EDITOR COMMAND...
set -uo pipefail
editor=$(realpath "$1")
shift

profile=$(mktemp -d /tmp/ombrik-planted.XXXXXX)
live=""
socket="/tmp/35F25FDB-9F98-4a7d-A3CC-035F0A43B023-$(id -u)"
cleanup() {
  if [ -n "$live" ]; then
    kill -9 "$live" 2>/dev/null
    wait "$live" 2>/dev/null
    rm -f "$socket" "$socket.lock"
  fi
  rm -rf "$profile"
}
trap cleanup EXIT

export HOME="$profile/home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" XDG_STATE_HOME="$HOME/.local/state" \
       XDG_CACHE_HOME="$HOME/.cache" XDG_RUNTIME_DIR="$profile/run"
mkdir -p "$XDG_CONFIG_HOME/Ombrik" "$XDG_DATA_HOME/ombrik/Data" "$XDG_STATE_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset OMBRIK_INSTANCE_NAME OMBRIK_DATA_DIR

{
  echo "[General]"
  echo "saveQuality=7"
  echo "threshold=@Size(333 211)"
  printf 'recentFiles='
  for i in $(seq 1 40); do printf '%s/photo %d.jpg, ' "$HOME" "$i"; done
  echo "$HOME/last.png"
} > "$XDG_CONFIG_HOME/Ombrik/Ombrik Photo Editor.conf"
printf 'P6\n1 1\n255\n\377\0\0' > "$XDG_DATA_HOME/ombrik/Data/001.pnm"
printf 'not a frame library' > "$XDG_DATA_HOME/ombrik/Data/pframes"

# A journal left by an editor killed after an edit (Emboss, chosen by its
# window message).
plant=$(mktemp -d)
photo=$(realpath "$(dirname "$0")/../../resources/photos/coffee.png")
QT_QPA_PLATFORM=offscreen OMBRIK_INSTANCE_NAME="ombrik-plant-$$" TMPDIR="$plant" ASAN_OPTIONS=detect_leaks=0 \
  "$editor" "$photo" --command "msg:1132:0:48" >"$plant/log" 2>&1 &
killed=$!
for _ in $(seq 1 300); do
  [ -n "$(find "$XDG_STATE_HOME/ombrik/recovery" -mindepth 2 -type f -name 'snap-*' 2>/dev/null)" ] && break
  sleep 0.1
done
sleep 1
kill -9 "$killed" 2>/dev/null
wait "$killed" 2>/dev/null
rm -rf "$plant"
if [ -z "$(find "$XDG_STATE_HOME/ombrik/recovery" -mindepth 2 -type f 2>/dev/null)" ]; then
  echo "planted_profile: the killed editor left no journal" >&2
  exit 1
fi

# The user's own editor, running (and asking about the journal).
QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 "$editor" >/dev/null 2>&1 &
live=$!
sleep 3

snapshot() {
  (cd "$profile" && find . -printf '%p %y %m %s\n' | sort && find . -type f -print0 | sort -z | xargs -0 -r sha256sum)
}
before=$(snapshot)

"$@"
status=$?

after=$(snapshot)
if [ "$before" != "$after" ]; then
  echo "planted_profile: the run changed the user's profile:" >&2
  diff <(echo "$before") <(echo "$after") | head -40 >&2
  [ "$status" -eq 0 ] && status=1
fi
if ! kill -0 "$live" 2>/dev/null; then
  echo "planted_profile: the user's running editor did not survive the run" >&2
  [ "$status" -eq 0 ] && status=1
fi
exit $status
