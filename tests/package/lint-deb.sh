#!/usr/bin/env bash
# Runs lintian, Debian's package checker, on the package: any error or warning
# fails, except the tags left below on purpose (each with its reason).
#
# Usage: tests/package/lint-deb.sh PACKAGE.deb|FOLDER   (a folder holding one netmoth-companion_*.deb)
# Exit status: 0 passed, 1 failed, 77 skipped (lintian is not installed).
set -euo pipefail

say() { echo "lint-deb: $*" >&2; }
[ "$#" -eq 1 ] || { say "usage: $0 PACKAGE.deb|FOLDER"; exit 2; }
command -v lintian >/dev/null || { say "SKIPPED: lintian is not installed (apt-get install lintian)"; exit 77; }
deb=$1
if [ -d "$deb" ]; then
  debs=("$deb"/netmoth-companion_*.deb)
  deb=${debs[0]}
fi
[ -f "$deb" ] || { say "FAILED: no package at $deb"; exit 1; }

# initial-upload-closes-no-bugs: the package is not uploaded to Debian, so there
#   is no "intent to package" bug for its first changelog entry to close.
suppressed=initial-upload-closes-no-bugs
if ! lintian --fail-on error,warning --display-info --suppress-tags "$suppressed" "$deb"; then
  say "FAILED: lintian reports errors or warnings on $(basename "$deb") (above)"
  exit 1
fi
say "PASSED: lintian finds no error or warning in $(basename "$deb") (left on purpose: $suppressed)"
