#!/usr/bin/env bash
# Builds every suite with AddressSanitizer and UndefinedBehaviorSanitizer in a folder of its own
# and runs them, headless; any report fails the run. Leaks are reported when our code made them;
# the libraries' own caches that live until exit are suppressed (scripts/lsan.supp).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${SANITIZE_BUILD_DIR:-$root/build-sanitize}"
BUILD_DIR="$build" "$root/scripts/setup.sh" --sanitize
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$build"
ctest --output-on-failure --parallel "$(nproc)" --timeout 900 "$@"
