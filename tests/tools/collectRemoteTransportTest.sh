#!/usr/bin/env bash
# `tavvo collect --remote` through a stand-in ssh that reaches no other
# machine: each "host" is a script that runs the remote command here, in a
# home of its own. Once: the newer remote numbers win, every failing host
# is one line on standard error and the rest is published. With --watch: a
# change on the remote machine shows within a second, a stream that ends
# is started again, and SIGTERM ends the collector and its streams. The
# same paths over a real sshd are the remote end-to-end test's.
set -u
tavvo=$1 fake_ssh=$2
work=$(mktemp -d)
collector=
trap '[ -n "$collector" ] && kill -KILL "$collector" 2>/dev/null; rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_STATE_HOME=$work/state LANG=C.UTF-8
unset LANGUAGE LC_ALL LC_MESSAGES CODEX_HOME CLAUDE_CONFIG_DIR TAVVO_L10N_SHOW_KEYS
program_name=tavvo
source "$(dirname "$0")/commandLineTestSupport.sh"
scale=${TAVVO_TEST_TIME_SCALE:-1}
export TAVVO_FAKE_SSH_HOSTS=$work/hosts
local_codex=$work/codex claude=$work/claude
local_today=$local_codex/sessions/$(date +%Y/%m/%d)
devbox=$work/devbox-home
remote_today=$devbox/.codex/sessions/$(date +%Y/%m/%d)
mkdir -p "$HOME" "$claude" "$local_today" "$remote_today" "$TAVVO_FAKE_SSH_HOSTS"

# devbox runs the remote command in its own home; its process id (kept
# by the exec) is written where the test can end its stream.
cat >"$TAVVO_FAKE_SSH_HOSTS/devbox" <<EOF
echo \$\$ >"\$TAVVO_FAKE_SSH_HOSTS/devbox.pid"
export HOME='$devbox' XDG_STATE_HOME='$devbox/.local/state' XDG_CONFIG_HOME='$devbox/.config' XDG_DATA_HOME='$devbox/.local/share'
exec sh -c "exec \$REMOTE_COMMAND"
EOF
# bare has no tavvo on its PATH; greeter greets whatever it is asked.
echo 'PATH=/usr/bin:/bin exec sh -c "$REMOTE_COMMAND"' >"$TAVVO_FAKE_SSH_HOSTS/bare"
echo 'echo "Welcome to greeter!"' >"$TAVVO_FAKE_SSH_HOSTS/greeter"

token_line() { # used percent of the 5-hour window, of the weekly one, seconds ago
  /usr/bin/python3 - "$1" "$2" "$3" <<'PY'
import datetime, json, sys, time
now = time.time() - float(sys.argv[3])
stamp = datetime.datetime.fromtimestamp(now, datetime.timezone.utc).strftime("%Y-%m-%dT%H:%M:%S.%f")[:-3] + "Z"
window = lambda used, minutes: {"used_percent": float(used), "window_minutes": minutes, "resets_at": int(now) + minutes * 30}
print(json.dumps({"timestamp": stamp, "type": "event_msg", "payload": {"type": "token_count", "info": None,
    "rate_limits": {"limit_id": "codex", "primary": window(sys.argv[1], 300), "secondary": window(sys.argv[2], 10080)}}}))
PY
}

# Codex's remaining percentages in the last document printed to `file`.
shown() { # file
  /usr/bin/python3 -c '
import json, sys
text, decoder, document = open(sys.argv[1]).read(), json.JSONDecoder(), None
position = 0
while text[position:].strip():
    document, position = decoder.raw_decode(text, len(text) - len(text[position:].lstrip()))
print([round(l["remainingPercent"]) for p in document["providers"] if p["id"] == "codex" for l in p["limits"]])' "$1" 2>/dev/null
}
expect_shown() { # description, expected
  local answer; answer=$(shown "$work/out")
  if [ "$answer" = "$2" ]; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL: $1: shows '$answer', expected '$2'"; fi
}
expect_errors() { # description, expected standard error
  if [ "$(cat "$work/err")" = "$2" ]; then passed=$((passed + 1)); else
    failed=$((failed + 1)); echo "FAIL: $1: stderr was:"; sed 's/^/  /' "$work/err"; fi
}

token_line 10 20 120 >"$local_today/rollout-a.jsonl"
token_line 30 40 10 >"$remote_today/rollout-b.jsonl"
collect=("$tavvo" collect --print --codex-home "$local_codex" --claude-config-dir "$claude" --ssh-program "$fake_ssh")

check "once" 0 "${collect[@]}" --remote devbox --remote-program "$tavvo"
expect_shown "once: the remote's newer numbers" "[70, 60]"
expect_errors "once: no problem" ""

check "once, two hosts failing" 0 "${collect[@]}" --remote nowhere --remote devbox --remote greeter --remote-program "$tavvo"
expect_shown "two hosts failing: the rest published" "[70, 60]"
sed -i 's/^\(tavvo: remote greeter: refused its document: \).*/\1…/' "$work/err"
expect_errors "two hosts failing: one line each" "tavvo: remote nowhere: ssh: Could not resolve hostname nowhere: Name or service not known
tavvo: remote greeter: refused its document: …"

check "once, no tavvo there" 0 "${collect[@]}" --remote bare
expect_shown "no tavvo there: the local numbers" "[90, 80]"
expect_errors "no tavvo there" "tavvo: remote bare: no tavvo there (the remote shell found no such command; see --remote-program)"

rm "$TAVVO_FAKE_SSH_HOSTS/devbox.starts"
for host in -oProxyCommand=touch\ owned "dev box" "devbox
-x"; do
  check "refused host '$host'" 2 "${collect[@]}" --remote="$host"
  expect_error_line "refused host '$host'"
done
check "refused hosts never reached ssh" 1 test -e "$TAVVO_FAKE_SSH_HOSTS/devbox.starts"

mkdir -p "$XDG_CONFIG_HOME/tavvo"
printf '# my machines\n\n  devbox\n-oProxyCommand=x\n' >"$XDG_CONFIG_HOME/tavvo/remotes"
check "the remotes file" 0 "${collect[@]}" --remote-program "$tavvo"
expect_shown "the remotes file: its host asked" "[70, 60]"
expect_errors "the remotes file: its refused line" "tavvo: $XDG_CONFIG_HOME/tavvo/remotes:4: a host name may not start with \"-\""
rm "$XDG_CONFIG_HOME/tavvo/remotes"

# Waits until the collector has printed `expected`, for at most `limit`
# seconds (stretched under the sanitizers).
expect_watched() { # description, limit in seconds, expected
  local answer started=${EPOCHREALTIME/[.,]/}
  local deadline=$(( started + $2 * scale * 1000000 ))
  while :; do
    answer=$(shown "$work/watch-out")
    if [ "$answer" = "$3" ]; then passed=$((passed + 1)); return; fi
    [ "${EPOCHREALTIME/[.,]/}" -lt "$deadline" ] || break
    sleep 0.05
  done
  failed=$((failed + 1))
  echo "FAIL: $1: shows '$answer' after $(( (${EPOCHREALTIME/[.,]/} - started) / 1000 )) ms, expected '$3'"
}
starts() { wc -l <"$TAVVO_FAKE_SSH_HOSTS/devbox.starts"; }

rm -f "$TAVVO_FAKE_SSH_HOSTS/devbox.starts"
"${collect[@]}" --watch --remote devbox --remote-program "$tavvo" >"$work/watch-out" 2>"$work/watch-err" &
collector=$!
expect_watched "watch: the first pass" 5 "[70, 60]"

token_line 50 60 0 >>"$remote_today/rollout-b.jsonl"
expect_watched "watch: a change on the remote machine" 1 "[50, 40]"

# The stream ends (the remote program is asked to end): the last numbers
# stay, and the stream starts again after a second.
kill -TERM "$(cat "$TAVVO_FAKE_SSH_HOSTS/devbox.pid")"
for ((try = 0; try < 60 * scale; try++)); do [ "$(starts)" -ge 2 ] && break; sleep 0.05; done
if [ "$(starts)" -eq 2 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL: started $(starts) times, expected 2"; fi
expect_watched "watch: the last numbers kept" 1 "[50, 40]"
sleep 0.5
token_line 70 80 0 >>"$remote_today/rollout-b.jsonl"
expect_watched "watch: a change after the stream started again" 1 "[30, 20]"

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$collector/stat"; }
before=$(cpu_ticks)
sleep 2
after=$(cpu_ticks)
if [ $(( after - before )) -le 1 ]; then passed=$((passed + 1)); else
  failed=$((failed + 1)); echo "FAIL: idle for 2 s with a stream open, the collector used $(( after - before )) ticks of CPU"; fi

remote_pid=$(cat "$TAVVO_FAKE_SSH_HOSTS/devbox.pid")
kill -TERM "$collector"
wait "$collector"; status=$? collector=
if [ "$status" -eq 0 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL: SIGTERM: status $status"; fi
if kill -0 "$remote_pid" 2>/dev/null; then failed=$((failed + 1)); echo "FAIL: the stream outlived the collector"; else passed=$((passed + 1)); fi
if [ "$(grep -c 'remote devbox: the remote .* ended' "$work/watch-err")" -eq 1 ] && [ "$(wc -l <"$work/watch-err")" -eq 1 ]; then
  passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL: watch: stderr was:"; sed 's/^/  /' "$work/watch-err"; fi

echo "collect --remote: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
