#!/usr/bin/env bash
# The README's screenshot script runs on the built program and makes every
# picture (into a scratch folder; the committed ones are not compared).
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${KV_BUILD_DIR:-build/release}
shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
KV_SHOTS_DIR="$shots" tools/screenshots/make.sh "$build"
for f in docs/screenshots/*.png; do
  [ -f "$shots/$(basename "$f")" ] || { echo "screenshots: $(basename "$f") is no longer made"; exit 1; }
done
echo "screenshots: ok"
