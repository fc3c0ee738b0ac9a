#!/bin/sh
# Runs a Windows program of the tests in another Wine prefix, apart from the tests' own session:
# the prefix is a copy of the tests' one (of WINEPREFIX), made once, in which the files Wine only
# reads are hard links and what it rewrites is copied; it gets a wineserver and a virtual X
# display of its own, both stopped at the end. The program's own Documents folder, desktop and
# windows are its alone, so it can run beside the tests' programs.
#
#   in_other_prefix.sh PREFIX PROGRAM [ARGUMENTS...]
#       passes the program's output through and ends with its exit status;
#   in_other_prefix.sh PREFIX --result FILE PROGRAM [ARGUMENTS...]
#       writes its output and then "status=N" to FILE, which appears whole at the end (for a
#       caller under Wine, which cannot wait for a Unix process).
set -u
other=$1
shift
result=""
if [ "${1:-}" = "--result" ]; then
  result=$2
  shift 2
  rm -f "$result" "$result.part"
fi
root=$(cd "$(dirname "$0")/../.." && pwd)
source_prefix=${WINEPREFIX:-$root/build/wineprefix}

xvfb=""
finish() {
  WINEPREFIX="$other" wineserver -k >/dev/null 2>&1
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
}
trap finish EXIT
trap 'exit 1' HUP INT TERM

if [ ! -f "$other/system.reg" ]; then
  rm -rf "$other" "$other.new"
  cp -al "$source_prefix" "$other.new" &&
    rm -rf "$other.new/drive_c/users" &&
    cp -a "$source_prefix/drive_c/users" "$other.new/drive_c/" || {
    echo "the prefix $other could not be made from $source_prefix" >&2
    exit 1
  }
  # The registry and the .ini files are rewritten in place: each prefix needs its own.
  for file in "$other.new"/*.reg "$other.new"/drive_c/windows/*.ini; do
    if [ -f "$file" ]; then cp "$file" "$file.copy" && mv "$file.copy" "$file"; fi
  done
  mv "$other.new" "$other"
fi

display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 </dev/null &
xvfb=$!
for _ in $(seq 1 100); do
  [ -s "$display_file" ] && break
  sleep 0.1
done
display=":$(tr -d '[:space:]' <"$display_file")"
rm -f "$display_file"

if [ -n "$result" ]; then
  WINEPREFIX="$other" DISPLAY="$display" "$root/scripts/wine-exec" "$@" >"$result.part" 2>&1 </dev/null
  echo "status=$?" >>"$result.part"
  mv "$result.part" "$result"
else
  WINEPREFIX="$other" DISPLAY="$display" "$root/scripts/wine-exec" "$@" </dev/null
  status=$?
  exit $status
fi
