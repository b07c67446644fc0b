#!/bin/bash
# Every program answers --help with its usage on standard output and exit 0,
# and no program takes a mistyped option for the name of a file to write.
# Usage: programs_help_test.sh WORK_FOLDER PROGRAM...
set -u
work=$1
shift
mkdir -p "$work"
cd "$work" || exit 1
rm -rf -- ./* ./-* 2>/dev/null
failed=0
for program in "$@"; do
  name=$(basename "$program")
  for flag in --help -h; do
    out=$(QT_QPA_PLATFORM=offscreen timeout 10 "$program" "$flag" 2>/dev/null)
    rc=$?
    if [ $rc -ne 0 ] || ! grep -qi "usage" <<<"$out"; then
      echo "FAIL: $name $flag: exit $rc, output: $out"
      failed=1
    fi
  done
done
# The sample writer and the benchmark set writer take one output name.
for program in "$@"; do
  case "$(basename "$program")" in
    tovasel-make-sample|bench_optimize_set)
      for name in --output -x; do
        "$program" "$name" >/dev/null 2>&1
        rc=$?
        if [ $rc -ne 2 ] || [ -e "$name" ]; then
          echo "FAIL: $(basename "$program") $name: exit $rc, written: $(ls -A)"
          failed=1
        fi
      done ;;
  esac
done
if [ -n "$(ls -A)" ]; then
  echo "FAIL: files left behind: $(ls -A)"
  failed=1
fi
exit $failed
