#!/usr/bin/env bash
# Runs lintian, Debian's package checker, on the package: any error or warning
# fails, except the tags suppressed below on purpose (each with its reason).
#
# Usage: tests/package/lint-deb.sh PACKAGE.deb|FOLDER   (a folder holding one netmoth-companion_*.deb)
# Exit status: 0 passed, 1 failed, 77 skipped (lintian is not installed).
set -euo pipefail

command -v lintian >/dev/null || { echo "lint-deb: SKIPPED: lintian is not installed" >&2; exit 77; }
debs=("${1:?usage: $0 PACKAGE.deb|FOLDER}"/netmoth-companion_*.deb)
[ -d "$1" ] || debs=("$1")
# initial-upload-closes-no-bugs: the package is not uploaded to Debian, so there
#   is no "intent to package" bug for its first changelog entry to close.
lintian --fail-on error,warning --display-info --suppress-tags initial-upload-closes-no-bugs "${debs[0]}"
