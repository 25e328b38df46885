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

pass() { passed=$((passed + 1)); }
fail() { failed=$((failed + 1)); echo "FAIL: $*"; }

# Runs the condition again every 50 ms until it holds, for at most $2
# seconds (stretched by TAVVO_TEST_TIME_SCALE under the sanitizers): the
# test may poll, the programs may not. Arguments: description, limit in
# seconds, condition (evaluated; it may set $seen to say what it saw).
expect_within() {
  local started=${EPOCHREALTIME/[.,]/}
  local deadline=$(( started + $2 * ${TAVVO_TEST_TIME_SCALE:-1} * 1000000 ))
  seen=
  while :; do
    if eval "$3"; then pass; return 0; fi
    [ "${EPOCHREALTIME/[.,]/}" -lt "$deadline" ] || break
    sleep 0.05
  done
  fail "$1: after $(( (${EPOCHREALTIME/[.,]/} - started) / 1000 )) ms, saw '$seen'"
  return 1
}

# Nothing changes for two seconds, so a long-running mode uses no CPU: a
# clock tick at most. Counted from half a second after the last change, so
# that the pass it caused (slower under the sanitizers) is not counted as
# idle work. Arguments: description, process.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
expect_idle() {
  sleep 0.5
  local before; before=$(cpu_ticks "$2")
  sleep 2
  local used=$(( $(cpu_ticks "$2") - before ))
  [ "$used" -le 1 ] && pass || fail "$1: idle for 2 s, used $used ticks of CPU"
}

# A child of this shell ends within two seconds (stretched as above), with
# status 0. Arguments: description, process, the file of its standard error.
expect_ended() {
  local try
  for ((try = 0; try < 40 * ${TAVVO_TEST_TIME_SCALE:-1}; try++)); do kill -0 "$2" 2>/dev/null || break; sleep 0.05; done
  if kill -0 "$2" 2>/dev/null; then fail "$1: still running after $((2 * ${TAVVO_TEST_TIME_SCALE:-1})) s"; return; fi
  wait "$2"
  local status=$?
  [ "$status" -eq 0 ] && pass || { fail "$1: status $status"; sed 's/^/  stderr: /' "$3"; }
}

# One line of a Codex session log as Codex writes it: a token-count event
# of the "codex" bucket with both windows. Arguments: when (Unix seconds),
# five-hour used, weekly used, the event's tokens, when the five-hour window
# resets and when the weekly one does (Unix seconds).
codex_line() {
  printf '{"timestamp":"%s","type":"event_msg","payload":{"type":"token_count","info":{"total_token_usage":{"input_tokens":1,"cached_input_tokens":0,"output_tokens":1,"reasoning_output_tokens":0,"total_tokens":%d},"last_token_usage":{"input_tokens":1,"cached_input_tokens":0,"output_tokens":1,"reasoning_output_tokens":0,"total_tokens":%d},"model_context_window":272000},"rate_limits":{"limit_id":"codex","primary":{"used_percent":%s,"window_minutes":300,"resets_at":%d},"secondary":{"used_percent":%s,"window_minutes":10080,"resets_at":%d},"plan_type":"plus"}}}\n' \
    "$(date -u -d "@$1" +%Y-%m-%dT%H:%M:%S.000Z)" "$4" "$4" "$2" "$5" "$3" "$6"
}

expect() { # description, command...: passes when the command succeeds
  local description=$1; shift
  if "$@"; then pass; else fail "$description"; fi
}

# A virtual X display of our own, at whatever number is free; $xvfb is its
# process. Arguments: the screen, WIDTHxHEIGHTxDEPTH.
start_xvfb() {
  local displayfd number
  exec {displayfd}<> <(:)
  Xvfb -displayfd "$displayfd" -screen 0 "$1" -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xvfb=$!
  read -r -t 10 number <&"$displayfd" || { echo "FAIL: Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
  export DISPLAY=:$number
}

# Waits up to $2 seconds (stretched as above) for the live window to report
# frame $1 in $work/frames.
wait_for_frame() {
  local i
  for ((i = 0; i < $2 * ${TAVVO_TEST_TIME_SCALE:-1} * 20; i++)); do
    grep -qx "frame $1" "$work/frames" && return 0
    sleep 0.05
  done
  return 1
}

# A snapshot of Codex alone, observed at 2026-12-07T11:59:00Z. Arguments:
# its weekly limit's remaining percent, when it stops being fresh, and
# (optional) when the limit resets.
codex_snapshot() {
  local reset=
  [ -n "${3:-}" ] && reset=", \"resetDate\": \"$3\""
  cat <<JSON
{"schemaVersion": 4, "generatedAt": "2026-12-07T11:59:00Z", "providers": [
  {"id": "codex", "title": "Codex Pro", "status": "available", "observedAt": "2026-12-07T11:59:00Z",
   "freshUntil": "$2", "limits": [{"id": "codex.weekly", "title": "Weekly", "remainingPercent": $1$reset}]}]}
JSON
}
