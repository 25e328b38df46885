# The checks the command-line tests share. The sourcing script sets
# $work (a scratch folder) and $program_name, and prints the totals.
passed=0 failed=0
check() { # description, expected status, command...
  local description=$1 expected=$2; shift 2
  "$@" >"$work/out" 2>"$work/err"
  local status=$?
  if [ "$status" -eq "$expected" ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL: $description: status $status, expected $expected"; sed 's/^/  stderr: /' "$work/err"
  fi
}
expect_output() { # description, expected text of the last command's stdout
  if [ "$(cat "$work/out")" = "$2" ]; then passed=$((passed + 1)); else
    failed=$((failed + 1)); echo "FAIL: $1: got '$(cat "$work/out")', expected '$2'"; fi
}
expect_error_line() { # description: stderr is one line starting "<program>: "
  if [ "$(wc -l <"$work/err")" -eq 1 ] && grep -q "^$program_name: " "$work/err"; then passed=$((passed + 1)); else
    failed=$((failed + 1)); echo "FAIL: $1: stderr was:"; cat "$work/err"; fi
}

