#!/usr/bin/env bash
# Runs a command with a private PulseAudio server whose only output is a null sink, so
# that sound can be played where there is no sound card:
#   tests/e2e/qt/with_null_sink.sh COMMAND [ARGUMENT...]
# Exits with the command's status, or 77 (a skip, with the reason printed) when
# PulseAudio is missing or cannot start.
set -uo pipefail

skip() {
  echo "SKIP: $*"
  exit 77
}
command -v pulseaudio >/dev/null || skip "pulseaudio is not installed (package pulseaudio)"

work=$(mktemp -d /tmp/tessarine-sound.XXXXXX)
server_pid=""
finish() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
  rm -rf "$work"
}
trap finish EXIT

# Its own runtime folder and no configuration of the machine's: nothing shared with a
# desktop session, and nothing left behind.
export XDG_RUNTIME_DIR=$work HOME=$work PULSE_SERVER=unix:$work/pulse-socket
pulseaudio --daemonize=no --exit-idle-time=-1 --disable-shm=yes -n \
  --load="module-null-sink sink_name=tessarine_nulo" \
  --load="module-native-protocol-unix auth-anonymous=1 socket=$work/pulse-socket" \
  >"$work/pulseaudio.log" 2>&1 &
server_pid=$!
for _ in $(seq 50); do
  [ -S "$work/pulse-socket" ] && break
  kill -0 "$server_pid" 2>/dev/null || skip "pulseaudio did not start: $(tail -3 "$work/pulseaudio.log")"
  sleep 0.1
done
[ -S "$work/pulse-socket" ] || skip "pulseaudio did not open its socket in 5 s"
"$@"
