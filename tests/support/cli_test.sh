# Sourced by the shell tests of faltarillon-cli, after they have read their
# arguments: a work folder WORK that goes away on exit, a private runtime
# folder (Qt warns on a missing one and the tool must stay silent), the
# offscreen platform unless the caller chose one, and fail(), which counts
# the faults in `fails` so one run reports all of them.
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -m 700 "$WORK/xdg"
export XDG_RUNTIME_DIR="$WORK/xdg" QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
fails=0
fail() { echo "FAIL: $*"; fails=$((fails + 1)); }
