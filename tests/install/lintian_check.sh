#!/usr/bin/env bash
# Lintian's verdict on the Debian package scripts/package built: fails on an
# error, on a warning not accepted in lintian-accepted (with its reason), and
# on any hardening tag, informational ones included.
#   lintian_check.sh PACKAGE.deb
set -uo pipefail
deb=${1:?package}
accepted_file="$(cd "$(dirname "$0")" && pwd)/lintian-accepted"

report=$(lintian --display-info --tag-display-limit 0 --fail-on none "$deb" 2>&1) || {
  printf '%s\n' "$report"
  echo "lintian did not run"
  exit 1
}
# "TAG  reason" lines; a tag without a reason is not accepted.
accepted=$(grep -vE '^\s*(#|$)' "$accepted_file" | awk 'NF >= 2 {print $1}')

failed=0
while IFS= read -r line; do
  [ -n "$line" ] || continue
  tag=$(awk '{print $3}' <<<"$line")
  case $line in
    E:*) failed=1 ;;
    W:*) grep -qxF -- "$tag" <<<"$accepted" || failed=1 ;;
    *) [[ $tag == hardening-* ]] && failed=1 ;;
  esac
  echo "$line"
done <<<"$report"
[ $failed -eq 0 ] && echo "lintian: $(basename "$deb") passed"
exit $failed
