#!/usr/bin/env bash
# Every environment variable a program reads is named in its --help, its man
# page and the README. The names come from the sources' getenv calls (a string
# literal, or a constant defined as one), so a variable added later without
# its documentation fails here.
#   environment_docs_check.sh SOURCE_DIR ORTI415 ORTI415_CLI ORTI415_SIM
set -uo pipefail
root=${1:?source folder}
console=${2:?orti415}
cli=${3:?orti415-cli}
sim=${4:?orti415-sim}
cd "$root"

failed=0

# The names the given files read, one per line.
names_read() {
  grep -ohE '\b(getenv|qgetenv|qEnvironmentVariable[A-Za-z]*)\s*\(\s*"?[A-Za-z_][A-Za-z0-9_]*"?' "$@" |
    sed -E 's/^[^(]*\(\s*//' | sort -u | while read -r arg; do
      case $arg in
        \"*\") echo "${arg//\"/}" ;;
        *)
          value=$(grep -rhoE "\b$arg(\[\])?\s*=\s*\"[A-Za-z0-9_]+\"" src sim | head -n 1 |
            sed -E 's/.*"(.*)"/\1/')
          echo "${value:-?$arg}"
          ;;
      esac
    done | sort -u
}

# check PROGRAM_NAME HELP_TEXT MAN_PAGE NAMES...
check() {
  local program=$1 help=$2 page=$3
  shift 3
  for name in "$@"; do
    if [[ $name == \?* ]]; then
      echo "getenv(${name#\?}) in the sources of $program: pass a name or a constant defined as one"
      failed=1
      continue
    fi
    grep -qw -- "$name" <<<"$help" || { echo "$program --help does not name $name"; failed=1; }
    grep -qw -- "$name" "$page" || { echo "$page does not name $name"; failed=1; }
    grep -qw -- "$name" README.md || { echo "README.md does not name $name"; failed=1; }
  done
}

mapfile -t shared < <(names_read $(find src -name '*.cpp' -o -name '*.h' | grep -vE '^src/(app|cli)/'))
mapfile -t consoleOnly < <(names_read $(find src/app -name '*.cpp' -o -name '*.h'))
mapfile -t cliOnly < <(names_read $(find src/cli -name '*.cpp' -o -name '*.h'))
mapfile -t simOnly < <(names_read $(find sim -name '*.cpp' -o -name '*.h'))

[ ${#shared[@]} -gt 0 ] || { echo "no getenv call found in src/: the search is broken"; exit 1; }
check orti415 "$(DISPLAY= WAYLAND_DISPLAY= "$console" --help)" data/man/orti415.1 \
  "${shared[@]}" "${consoleOnly[@]}"
check orti415-cli "$("$cli" --help)" data/man/orti415-cli.1 "${shared[@]}" "${cliOnly[@]}"
check orti415-sim "$("$sim" --help)" data/man/orti415-sim.1 "${simOnly[@]}"
[ $failed -eq 0 ] && echo "documented: ${shared[*]} ${consoleOnly[*]} ${cliOnly[*]} ${simOnly[*]}"
exit $failed
