#!/usr/bin/env bash
# Without a display the console says so in one line and ends with status 1
# (Qt alone aborts from inside QApplication's constructor).
#   no_display_test.sh ORTI415
set -uo pipefail
console=${1:?orti415}
failed=0
# QT_QPA_PLATFORM|DISPLAY|what the line says
while IFS='|' read -r platform display expected; do
  line=$(env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ${platform:+QT_QPA_PLATFORM=$platform} \
    DISPLAY="$display" "$console" --bogus 2>&1 >/dev/null)
  status=$?
  want="orti415: $expected; без окон работает orti415-cli."
  if [ $status -ne 1 ] || [ "$line" != "$want" ]; then
    printf 'platform "%s", DISPLAY "%s": status %d, said:\n%s\nwanted:\n%s\n' \
      "$platform" "$display" $status "$line" "$want"
    failed=1
  fi
done <<'CASES'
||нет дисплея (переменные DISPLAY и WAYLAND_DISPLAY не заданы)
xcb||нет дисплея (переменная DISPLAY не задана)
xcb|:4093|дисплей :4093 недоступен (DISPLAY)
CASES
exit $failed
