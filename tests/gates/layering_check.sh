#!/usr/bin/env bash
# Layers include only what lies below them (or beside them, at the same
# level): platform < model < device < the logic libraries < app and cli. The
# simulator, the tests' independent oracle, uses nothing of the console but
# the platform layer.
set -uo pipefail
root=${1:?source folder}
cd "$root"

rank() {
  case $1 in
    platform) echo 0 ;;
    model) echo 1 ;;
    device) echo 2 ;;
    workflow | views | folders | settings | archive) echo 3 ;;
    app | cli) echo 4 ;;
    *) echo 9 ;;
  esac
}

failed=0
for dir in src/*/; do
  layer=$(basename "$dir")
  own=$(rank "$layer")
  while IFS=: read -r file line used; do
    if [ "$(rank "$used")" -gt "$own" ]; then
      echo "$file:$line: $layer includes $used, a layer above it"
      failed=1
    fi
  done < <(grep -rnoE '^#include "[a-z]+/' "$dir" | sed -E 's/#include "([a-z]+)\//\1/')
done
while IFS=: read -r file line used; do
  if [ "$used" != platform ] && [ "$used" != sim ]; then
    echo "$file:$line: the simulator includes $used"
    failed=1
  fi
done < <(grep -rnoE '^#include "[a-z]+/' sim | sed -E 's/#include "([a-z]+)\//\1/')
exit $failed
