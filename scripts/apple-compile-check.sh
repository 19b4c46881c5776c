#!/usr/bin/env bash
# Compiles every Objective-C++ file of the Apple backend with clang against the declarations of Apple's
# frameworks that the backend uses (sdk-stubs/): syntax, ARC and blocks only, no code generated. Wrong
# selectors, missing required delegate methods and mismatched method signatures are errors.
#
#   scripts/apple-compile-check.sh [--generated DIR] [FILE.mm ...]    default: every .mm under src/apple, src/tools
#
# DIR holds the core's generated headers (the embedded bootstrap scripts) of a build directory.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
generated=""
if [ "${1:-}" = "--generated" ]; then
  generated="$2"
  shift 2
fi

clang=$(command -v clang++ || command -v clang++-14 || true)
if [ -z "$clang" ]; then
  echo "apple-compile-check: clang++ is not installed (scripts/setup.sh installs it)" >&2
  exit 1
fi

files=("$@")
if [ ${#files[@]} -eq 0 ]; then
  mapfile -t files < <(find "$here/src/apple" "$here/src/tools" -name '*.mm' | sort)
fi

flags=(
  -fsyntax-only -x objective-c++ -std=c++20
  -fobjc-arc -fblocks -fobjc-runtime=macosx-13.0
  -Werror -Wall -Wextra -Wno-unused-parameter
  # A selector nobody declares, a method sent to a class that does not declare it, a required protocol
  # method left out, and implementations whose types differ from their declarations.
  -Wundeclared-selector -Wobjc-method-access -Wincomplete-implementation -Wprotocol
  -Wstrict-selector-match -Wmismatched-parameter-types -Wmismatched-return-types -Wmethod-signatures
  -Wobjc-missing-super-calls -Wnullable-to-nonnull-conversion -Wimplicit-retain-self
  -isystem "$here/sdk-stubs"
  -I "$here/src/core" -I "$here/src/apple"
)
[ -z "$generated" ] || flags+=(-I "$generated")

# Each file on its own, a few at a time: the check stays a matter of seconds per file.
jobs=${NORLA_APPLE_CHECK_JOBS:-2}
if printf '%s\0' "${files[@]}" | xargs -0 -n1 -P "$jobs" "$clang" "${flags[@]}"; then
  echo "apple-compile-check: ${#files[@]} files compile"
else
  echo "apple-compile-check: the Apple backend does not compile (errors above)" >&2
  exit 1
fi
