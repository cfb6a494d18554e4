#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program. Arguments are passed
# to the program (for example /Instance=2 or --once).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display found: starting on Qt's offscreen platform (no window will be visible)."
    export QT_QPA_PLATFORM=offscreen
fi
exec build/bin/KS3_Tools_Convert "$@"
