#!/usr/bin/env bash
# Runs a command and checks how it ends.
# Usage: expect_exit.sh STATUS STDOUT-RULE STDERR-RULE -- COMMAND [ARGS...]
#   STDOUT-RULE / STDERR-RULE: "empty", "nonempty", "any" or "contains:TEXT".
set -u

expected_status=$1 stdout_rule=$2 stderr_rule=$3
shift 3
[[ "${1:-}" == "--" ]] && shift

out_file=$(mktemp) err_file=$(mktemp)
trap 'rm -f "$out_file" "$err_file"' EXIT
"$@" >"$out_file" 2>"$err_file" </dev/null
status=$?

failed=0
check() {  # name rule file
  local name=$1 rule=$2 file=$3
  case "$rule" in
    any) ;;
    empty) [[ ! -s "$file" ]] || { echo "expected empty $name"; failed=1; } ;;
    nonempty) [[ -s "$file" ]] || { echo "expected output on $name"; failed=1; } ;;
    contains:*) grep -qF -- "${rule#contains:}" "$file" ||
      { echo "expected $name to contain '${rule#contains:}'"; failed=1; } ;;
    *) echo "unknown rule '$rule'"; failed=1 ;;
  esac
}
[[ $status -eq $expected_status ]] || { echo "expected exit status $expected_status, got $status"; failed=1; }
check stdout "$stdout_rule" "$out_file"
check stderr "$stderr_rule" "$err_file"
if ((failed)); then
  echo "command: $*"
  echo "--- stdout"; cat "$out_file"
  echo "--- stderr"; cat "$err_file"
fi
exit $failed
