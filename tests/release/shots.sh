#!/usr/bin/env bash
# Runs window_shots under the prepared Wine prefix with a loopback server of its own:
#   shots.sh WINDOW_SHOTS OUT_DIR VERIVIR_SCR NUVORA_EXE INSTALLER SERVER_STATE
set -u
here=$(cd "$(dirname "$0")" && pwd)
shots=$1 out=$2 saver=$3 nuvora=$4 installer=$5 state=$6
bash "$here/../update/server_ctl.sh" start "$state" 600 >/dev/null || exit 1
trap 'bash "$here/../update/server_ctl.sh" stop "$state"' EXIT
mkdir -p "$out" "$state/work"
"$here/../../tools/wine-run" "$shots" "Z:$out" "Z:$saver" "Z:$nuvora" "Z:$installer" "Z:$state" "Z:$state/work"
