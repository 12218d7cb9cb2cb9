#!/usr/bin/env bash
# Builds the program when needed and starts it from its build folder.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$root/scripts/setup.sh"
exec "${BUILD_DIR:-$root/build}/bin/inventory" "$@"
