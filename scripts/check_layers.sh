#!/usr/bin/env bash
# The layer map of the code as rules: every file may include headers of its own layer and of the
# layers beneath it, never of one above. Prints each include that breaks the map, as
# "file:line: includes header (layer A may not use layer B)", and fails when there is one.
# Tests of a layer may use what that layer may use, plus the tests' support folder; the
# benchmarks, the tools and the Windows test client may use everything.
# Usage: scripts/check_layers.sh
set -euo pipefail
cd "$(dirname "$0")/.."

# What each layer may use besides itself, lowest layer first.
declare -A uses=(
  [platform]=""
  [metadata]="platform"
  [presentation]="metadata platform"
  [imaging]="platform"
  [thumbnail]="imaging presentation metadata platform"
  [cache]="platform"
  [shellext]="cache thumbnail imaging presentation metadata platform"
  [cli]="shellext cache thumbnail imaging presentation metadata platform"
)
everything="cli shellext cache thumbnail imaging presentation metadata platform support"

# Sets `layer` to the layer a source path (relative to the tree) belongs to; empty for paths
# outside the map.
layer_of() {
  case "$1" in
    thumbnail/imaging/*) layer=imaging ;;
    platform/* | metadata/* | presentation/* | thumbnail/* | cache/* | shellext/* | cli/*) layer=${1%%/*} ;;
    *) layer="" ;;
  esac
}

# Sets `target` to the file a quoted include names: the tree holds the product's headers,
# tests/ the test ones; empty for a system header or one beside the including file.
resolve() {
  if [ -f "$1" ]; then target=$1; elif [ -f "tests/$1" ]; then target=tests/$1; else target=""; fi
}

failures=0
check_file() {  # file its-layer allowed-layers...
  local file=$1 own=$2
  shift 2
  local allowed=" $own $* "
  local number header used layer target
  while IFS=: read -r number header; do
    resolve "$header"
    [ -n "$target" ] || continue
    case "$target" in
      tests/support/*) layer=support ;;
      tests/*) layer_of "${target#tests/}" ;;
      *) layer_of "$target" ;;
    esac
    used=$layer
    [ -n "$used" ] || continue
    if [[ "$allowed" != *" $used "* ]]; then
      echo "$file:$number: includes $header (layer $own may not use layer $used)"
      failures=$((failures + 1))
    elif [[ "$target" == tests/* && " ${!uses[*]} " == *" $own "* && "$file" != tests/* ]]; then
      echo "$file:$number: includes $header (product code may not use the tests)"
      failures=$((failures + 1))
    fi
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" | sed 's/^\([0-9]*\):[^"]*"\([^"]*\)".*/\1:\2/')
}

while IFS= read -r file; do
  [ -f "$file" ] || continue
  case "$file" in
    tests/support/* | tests/windows/* | bench/* | tools/*)
      label=${file%%/*}
      [ "$label" = tests ] && { label=${file#tests/}; label=tests/${label%%/*}; }
      check_file "$file" "$label" $everything
      ;;
    tests/*)
      layer_of "${file#tests/}"
      if [ -z "$layer" ]; then
        echo "$file: a test outside the layers' folders"
        failures=$((failures + 1))
        continue
      fi
      check_file "$file" "$layer" ${uses[$layer]} support
      ;;
    *)
      layer_of "$file"
      [ -n "$layer" ] || continue
      check_file "$file" "$layer" ${uses[$layer]}
      ;;
  esac
done < <(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h')

if [ "$failures" -gt 0 ]; then
  echo "check_layers: $failures include(s) against the layer map" >&2
  exit 1
fi
echo "check_layers: every include follows the layer map"
