#!/usr/bin/env bash
# Installs what is missing, builds and starts Quorvanti.
set -euo pipefail
here="$(dirname "${BASH_SOURCE[0]}")"
"$here/deps.sh"
"$here/build.sh"
exec "$here/../${BUILD_DIR:-build}/quorvanti"
