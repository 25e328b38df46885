#!/usr/bin/env bash
# `tavvo collect --remote` against a real OpenSSH server on the loopback
# (remoteSupport.sh): the remote users' homes hold Codex logs and Claude
# feeds, the local home its own, and the snapshot must hold the newest of
# each, in every order of freshness, from one remote or two, once and
# live. A remote that cannot answer, or answers badly (stand-in remote
# programs), is one line on standard error and the rest is published.
set -u
tavvo=$(realpath "$1")
work=$(mktemp -d)
collector= bad_pass=
trap '[ -n "$collector" ] && kill -KILL "$collector" 2>/dev/null
  [ -n "$bad_pass" ] && kill -KILL $(pgrep -P "$bad_pass") "$bad_pass" 2>/dev/null
  remote_cleanup; rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data LANG=C.UTF-8 TZ=UTC
export XDG_STATE_HOME=$HOME/.local/state
unset LANGUAGE LC_ALL LC_MESSAGES CODEX_HOME CLAUDE_CONFIG_DIR TAVVO_L10N_SHOW_KEYS
program_name=tavvo
source "$(dirname "$0")/commandLineTestSupport.sh"
standin_kinds="good endless trickle"
source "$(dirname "$0")/remoteSupport.sh"
remote_start
user=${remote_users[0]}
base=$work/base
mkdir -p "$HOME/.claude" "$remote_home/.claude" "$remote_home_2/.claude"
chown --reference="$remote_home" "$remote_home/.claude" && chown --reference="$remote_home_2" "$remote_home_2/.claude"
local_sources=(--codex-home "$HOME/.codex" --claude-config-dir "$HOME/.claude")
over_ssh=(--ssh-program "$ssh_program" --remote-program "$tavvo")

# What a snapshot shows: when each provider was observed (Unix seconds),
# each limit's share left, and the weekly tokens.
shown() { # snapshot file
  /usr/bin/python3 - "$1" <<'PY' 2>&1
import datetime, json, sys
unix = lambda text: int(datetime.datetime.fromisoformat(text.replace("Z", "+00:00")).timestamp())
try:
    document = json.load(open(sys.argv[1]))
except ValueError:
    sys.exit("no document")
parts = []
for provider in document["providers"]:
    parts.append(f'{provider["id"]}@{unix(provider["observedAt"]) if "observedAt" in provider else "-"}')
    parts += [f'{limit["id"]}={limit["remainingPercent"]}' for limit in provider["limits"]]
parts.append(f'tokens={(document.get("codexAnalytics") or {}).get("weeklyTokens")}')
print(" ".join(parts))
PY
}
expect_shown() { # description, what `shown` must print of the last command's output
  local answer; answer=$(shown "$work/out")
  [ "$answer" = "$2" ] && passed=$((passed + 1)) || fail "$1: shows '$answer', expected '$2'"
}
# Standard error holds exactly one line, and it names the host.
expect_remote_problem() { # description, host
  if [ "$(wc -l <"$work/err")" -eq 1 ] && grep -qF "remote $2: " "$work/err"; then passed=$((passed + 1)); else
    fail "$1: stderr was: $(head -c 2000 "$work/err")"; fi
}

# Runs a command; prints its exit status, its peak resident size (kB, the
# kernel's accounting through wait4, its children's included) and how long
# it ran (s). Its output goes to FILE.out and FILE.err.
measured() { # FILE, command...
  /usr/bin/python3 - "$@" <<'PY'
import os, subprocess, sys, time
started = time.monotonic()
with open(sys.argv[1] + ".out", "w") as out, open(sys.argv[1] + ".err", "w") as err:
    child = subprocess.Popen(sys.argv[2:], stdout=out, stderr=err)
_, status, usage = os.wait4(child.pid, 0)
print(os.waitstatus_to_exitcode(status), usage.ru_maxrss, round(time.monotonic() - started))
PY
}

# Stand-in remote programs: a document the real program sent, and input no
# document could be made of (what is wrong inside a document is the
# decoder's own test's). The session's TAVVO_STANDIN says which (the alias
# standin-KIND sets it).
standins=$work/standins
mkdir -p "$standins"
codex_record "$remote_home" $((now - 10)) 35 45 100
"$ssh_program" -T tavvo-remote -- "$tavvo" observations >"$standins/good.json" 2>"$work/err" && [ "$(wc -l <"$standins/good.json")" = 1 ] ||
  fail "observations over ssh: $(cat "$standins/good.json" "$work/err")"
cat >"$standins/tavvo" <<'SCRIPT'
#!/bin/sh
# A remote tavvo that answers `observations` in one bad way.
case $TAVVO_STANDIN in
  endless) head -c 1073741824 /dev/zero | tr '\0' x ;;
  trickle) printf '{"version": 1'; while sleep 1; do printf ' '; done ;;
  *) exec cat "$(dirname "$0")/$TAVVO_STANDIN.json" ;;
esac
SCRIPT
chmod -R a+rX "$standins"
chmod a+x "$standins/tavvo"
bad_kinds=${standin_kinds#good }
# Every stand-in in one pass: the hosts are asked at the same time, so the
# pass lasts as long as its slowest host, within the deadline of a pass.
standin_pass() { # file for its output, kinds...
  local file=$1 kind remotes=(); shift
  for kind in "$@"; do remotes+=(--remote "standin-$kind"); done
  XDG_STATE_HOME=$work/no-state measured "$file" "$tavvo" --base-dir "$base" collect --print --codex-home "$work/none" \
    --claude-config-dir "$work/none" --ssh-program "$ssh_program" --remote-program "$standins/tavvo" "${remotes[@]}"
}
# The good stand-in's Codex; Claude has nothing, on neither machine.
good_stand_in="codex@$((now - 10)) codex.five_hour=65 codex.weekly=55 claude@[0-9]+ tokens=100"
read -r _ alone _ < <(standin_pass "$work/good-pass" good)
[[ $(shown "$work/good-pass.out") =~ ^$good_stand_in$ ]] || fail "a good stand-in: $(shown "$work/good-pass.out") $(cat "$work/good-pass.err")"
# shellcheck disable=SC2086 # the kinds
standin_pass "$work/bad-pass" $standin_kinds >"$work/bad-pass.result" &
bad_pass=$!

# Every order of freshness, Codex and Claude alike: each window from the
# machine that observed it last, whole; the weekly tokens of both machines,
# which observed the same week. At equal instants either machine's
# observation may win, but never a mix of the two.
# Columns: case, local instant, remote instant, what the snapshot shows (a
# regular expression).
local_at_remote=(
  "remote newer|$((now - 300))|$((now - 100))|codex@$((now - 100)) codex.five_hour=70 codex.weekly=60 claude@$((now - 100)) claude.five_hour=40 tokens=1500"
  "local newer|$((now - 100))|$((now - 300))|codex@$((now - 100)) codex.five_hour=90 codex.weekly=80 claude@$((now - 100)) claude.five_hour=80 tokens=1500"
  "equal|$((now - 200))|$((now - 200))|codex@$((now - 200)) codex.five_hour=(90 codex.weekly=80|70 codex.weekly=60) claude@$((now - 200)) claude.five_hour=(80|40) tokens=1500"
)
for row in "${local_at_remote[@]}"; do
  IFS='|' read -r name local_at remote_at expected <<<"$row"
  rm -rf "$HOME/.codex" "$remote_home/.codex"
  codex_record "$HOME" "$local_at" 10 20 1000 && claude_feed "$HOME" "$local_at" 20
  codex_record "$remote_home" "$remote_at" 30 40 500 && claude_feed "$remote_home" "$remote_at" 60
  check "$name" 0 "$tavvo" --base-dir "$base" collect --print "${local_sources[@]}" "${over_ssh[@]}" --remote tavvo-remote
  answer=$(shown "$work/out")
  [[ $answer =~ ^$expected$ ]] && passed=$((passed + 1)) || fail "$name: shows '$answer', expected '$expected'"
  [ -s "$work/err" ] && fail "$name: stderr not empty: $(cat "$work/err")"
done
[ -e "$base" ] && fail "--print stored something"

# Two remotes, named in the remotes file between a comment and a blank
# line: the newest of three machines, the tokens of all three. Each has
# Tavvo in ~/.local/bin, named relative to the home there as the README
# says. A line that would be an ssh option is refused with one line, and
# the rest collected.
rm -rf "$HOME/.codex" "$remote_home/.codex"
codex_record "$HOME" $((now - 200)) 10 20 1000
codex_record "$remote_home" $((now - 300)) 30 40 500
codex_record "$remote_home_2" $((now - 50)) 50 70 700 && claude_feed "$remote_home_2" $((now - 50)) 5
mkdir -p "$XDG_CONFIG_HOME/tavvo"
printf '# both machines\ntavvo-remote\n\n  tavvo-remote-2\n-oProxyCommand=touch %s\n' "$work/injected" >"$XDG_CONFIG_HOME/tavvo/remotes"
for home in "$remote_home" "$remote_home_2"; do
  mkdir -p "$home/.local/bin" && ln -s "$tavvo" "$home/.local/bin/tavvo" && chown -R --reference="$home" "$home/.local"
done
check "two remotes" 0 "$tavvo" --base-dir "$base" collect --print "${local_sources[@]}" \
  --ssh-program "$ssh_program" --remote-program .local/bin/tavvo
expect_shown "two remotes: the newest machine" \
  "codex@$((now - 50)) codex.five_hour=50 codex.weekly=30 claude@$((now - 50)) claude.five_hour=95 tokens=2200"
[ "$(wc -l <"$work/err")" -eq 1 ] && grep -qF "remotes:5: " "$work/err" && passed=$((passed + 1)) ||
  fail "a remotes line that is an option: stderr was: $(cat "$work/err")"
[ -e "$work/injected" ] && fail "a remotes line ran as an ssh option"
rm "$XDG_CONFIG_HOME/tavvo/remotes"
check "an option as --remote" 2 "$tavvo" --base-dir "$base" collect --print "${over_ssh[@]}" --remote "-oProxyCommand=touch $work/injected"
expect_error_line "an option as --remote"
[ -e "$work/injected" ] && fail "--remote ran as an ssh option"

# A remote without Tavvo, and one that cannot be reached: one line each,
# the local data published as if no remote were configured.
rm -rf "$remote_home/.codex"
check "no tavvo there" 0 "$tavvo" --base-dir "$base" collect --print "${local_sources[@]}" \
  --ssh-program "$ssh_program" --remote-program "$work/nowhere/tavvo" --remote tavvo-remote
expect_shown "no tavvo there: the local data" \
  "codex@$((now - 200)) codex.five_hour=90 codex.weekly=80 claude@$((now - 200)) claude.five_hour=80 tokens=1000"
expect_remote_problem "no tavvo there" tavvo-remote
check "unreachable" 0 "$tavvo" --base-dir "$base" collect --print "${local_sources[@]}" "${over_ssh[@]}" --remote tavvo-unreachable
expect_remote_problem "unreachable" tavvo-unreachable

# Live: one stream from the remote, each change shown within a second plus
# the network; the server stopped and started again. While it is away the
# remote's last observations stay what they were and age out by the ttl;
# once it is back, the stream resumes with what changed meanwhile.
snapshot_shows() { "$tavvo" --base-dir "$base" snapshot read >"$work/snapshot" 2>/dev/null && shown "$work/snapshot"; }
outdated() { # whether the snapshot's Codex is past its freshness
  /usr/bin/python3 - "$work/snapshot" "$(date +%s)" <<'PY'
import datetime, json, sys
codex = [p for p in json.load(open(sys.argv[1]))["providers"] if p["id"] == "codex"][0]
sys.exit(datetime.datetime.fromisoformat(codex["freshUntil"].replace("Z", "+00:00")).timestamp() > float(sys.argv[2]))
PY
}
remote_gone() { seen="$(pgrep -u "$user" | wc -l) processes of $user"; [ "$seen" = "0 processes of $user" ]; }

rm -rf "$remote_home/.codex"
codex_record "$remote_home" "$(date +%s)" 15 25 100
"$tavvo" --base-dir "$base" collect --watch --ttl 3 --codex-home "$work/none" --claude-config-dir "$HOME/.claude" \
  "${over_ssh[@]}" --remote tavvo-remote 2>"$work/collector-err" &
collector=$!
expect_within "the first pass" 5 'seen=$(snapshot_shows); [[ $seen == codex@*" codex.five_hour=85 "* ]]'
last=$(date +%s)
codex_record "$remote_home" "$last" 25 35 100
expect_within "a change on the remote" 2 'seen=$(snapshot_shows); [[ $seen == "codex@$last codex.five_hour=75 "* ]]'

sshd_stop remote
codex_record "$remote_home" "$(date +%s)" 45 55 100
sleep 3.5
expect_within "away: the last observation, outdated by the ttl" 1 'seen=$(snapshot_shows); [[ $seen == "codex@$last codex.five_hour=75 "* ]] && outdated'
grep -q "remote tavvo-remote: ." "$work/collector-err" && passed=$((passed + 1)) || fail "the broken stream is not reported: $(cat "$work/collector-err")"
sshd_start remote
expect_within "back: the stream resumes" 10 'seen=$(snapshot_shows); [[ $seen == codex@*" codex.five_hour=55 "* ]]'

# Idle: nothing changes on either machine, so the collector waiting on its
# stream uses no CPU (the remote side's idling is the observations test's).
expect_idle "idle" "$collector"
kill -TERM "$collector"
expect_ended "SIGTERM" "$collector" "$work/collector-err"
collector=
expect_within "the remote program ends with the collector" 2 remote_gone

# Bad input, each kind refused with one line naming its host; the good
# stand-in's document and the local data published all the same; the
# memory of the whole pass bounded whatever the hosts send (a 1 GB line
# among them), and the pass over within its deadline, the trickle's too.
wait "$bad_pass"
bad_pass=
read -r status peak seconds <"$work/bad-pass.result"
[ "$status" = 0 ] || fail "the pass with bad input: status $status: $(cat "$work/bad-pass.err")"
for kind in $bad_kinds; do
  [ "$(grep -c "remote standin-$kind: ." "$work/bad-pass.err")" = 1 ] && passed=$((passed + 1)) ||
    fail "$kind: not refused with one line: $(head -c 2000 "$work/bad-pass.err")"
done
[ "$(wc -l <"$work/bad-pass.err")" = "$(wc -w <<<"$bad_kinds")" ] || fail "bad input: not one line a host: $(head -c 4000 "$work/bad-pass.err")"
[[ $(shown "$work/bad-pass.out") =~ ^$good_stand_in$ ]] && passed=$((passed + 1)) ||
  fail "bad input: the rest is not published: $(shown "$work/bad-pass.out")"
[ $((peak - alone)) -lt $((24 * 1024)) ] && passed=$((passed + 1)) || fail "bad input: peak $peak kB, $alone kB with the good host alone"
[ "$seconds" -le 30 ] && passed=$((passed + 1)) || fail "bad input: the pass took $seconds s"

echo "collect --remote: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
