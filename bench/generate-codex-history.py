#!/usr/bin/env python3
"""Writes a made-up Codex home of many session logs, for the collector's
benchmarks.

    generate-codex-history.py HOME [--files N] [--megabytes M]
                              [--recent-fraction F] [--seed S] [--now SECONDS]

Creates HOME/sessions/YYYY/MM/DD/rollout-YYYY-MM-DDThh-mm-ss-<uuid>.jsonl
(date folders and names in local time), each file one session whose lines
are dated from its start to its end, the file's modification time set to
its last line. A fraction of the sessions (a tenth by default) ended within
the last week; the others ended between nine days and a year before now, so
that pruning by modification time (the longest window plus a day) keeps
exactly the recent ones. The reasoning, tool calls and their outputs carry
most of the bytes, as in a real history; every turn ends with a token-count
event whose rate limits take the shape of the session's age: the current
one in the recent sessions, the nested shape with resets_in_seconds and the
two flat shapes in older ones. Some events repeat their totals unchanged,
some carry no token usage, a few carry none of the limits, and a few name a
second limit bucket.

The same seed and the same --now give the same bytes. HOME must not hold a
sessions folder yet: the script never writes over an existing history.
"""

import argparse
import base64
import json
import os
import random
import sys
import time
import uuid

DAY = 86_400
WEEK = 7 * DAY
FIVE_HOURS = 5 * 3_600
# Files the pruning keeps ended within the last week; the rest ended at
# least this long ago, clear of the longest window plus a day.
OLDEST_KEPT = WEEK
NEWEST_PRUNED = 9 * DAY
OLDEST = 365 * DAY

WORDS = (
    "the build fails when the parser meets an empty line so we read the whole file again "
    "function returns value error path test case config module import export class struct "
    "vector string buffer offset inode device folder session rollout window limit percent "
    "reset token count cache layout render widget snapshot store language format number "
    "déjà-vu naïve café Größe привет 你好 → ✓ …"
).split()
# Characters that must be escaped in JSON, so the lines exercise a reader's
# unescaping as real tool output does.
SPECIALS = ('"quoted"', "back\\slash", "tab\there", "line\nbreak", "{\"key\": 1}", "C:\\path\\to")


def text_pool(rng, size):
    """JSON-escaped UTF-8 text of about `size` bytes, its words separated by
    single spaces. A space never falls inside an escape sequence or a
    multi-byte character, so any run between two spaces is valid string
    content."""
    words = []
    length = 0
    while length < size:
        word = rng.choice(SPECIALS) if rng.random() < 0.03 else rng.choice(WORDS)
        words.append(word)
        length += len(word) + 1
    escaped = json.dumps(" ".join(words), ensure_ascii=False)[1:-1]
    return escaped.encode("utf-8")


class Pieces:
    """Slices of prepared text and base64 of about the asked length."""

    def __init__(self, rng):
        self.rng = rng
        self.text_pool = text_pool(rng, 4 << 20)
        self.blob_pool = base64.b64encode(rng.randbytes(3 << 19))

    def text(self, length):
        start = self.text_pool.index(b" ", self.rng.randrange(len(self.text_pool) - length - 1024)) + 1
        end = self.text_pool.index(b" ", start + length)
        return self.text_pool[start:end]

    def blob(self, length):
        start = self.rng.randrange(len(self.blob_pool) - length)
        return self.blob_pool[start : start + length]


def timestamp(seconds):
    """RFC 3339 UTC with milliseconds, as the logs write it."""
    whole = int(seconds)
    milliseconds = int((seconds - whole) * 1000)
    return (time.strftime("%Y-%m-%dT%H:%M:%S", time.gmtime(whole)) + f".{milliseconds:03d}Z").encode()


def used_percent(instant, length, anchor, pace):
    """A window's used percentage at `instant`: the windows follow each other
    from `anchor`, and each is used at its own pace (derived from its index,
    so that the same instant always reads the same)."""
    index = int((instant - anchor) // length)
    start = anchor + index * length
    rate = pace * (0.5 + (index * 7919 % 100) / 100)
    return round(min(100.0, (instant - start) / length * rate), 1), start + length


class RateLimits:
    """The rate-limit record of a token-count event, in one of the shapes
    the logs have held over time."""

    def __init__(self, rng, now):
        self.rng = rng
        # Windows anchored at irregular instants, as the first use after a
        # reset anchors them.
        self.five_hour_anchor = now - rng.randrange(FIVE_HOURS)
        self.weekly_anchor = now - rng.randrange(WEEK)

    def windows(self, instant):
        primary, primary_reset = used_percent(instant, FIVE_HOURS, self.five_hour_anchor, 60)
        secondary, secondary_reset = used_percent(instant, WEEK, self.weekly_anchor, 90)
        return primary, primary_reset, secondary, secondary_reset

    def current(self, instant, bucket):
        primary, primary_reset, secondary, secondary_reset = self.windows(instant)
        limit_id, limit_name = (b'"codex"', b"null") if bucket == "codex" else (b'"codex_mini"', b'"Codex mini"')
        return (
            b'{"limit_id":%s,"limit_name":%s,"primary":{"used_percent":%.1f,"window_minutes":300,"resets_at":%d},'
            b'"secondary":{"used_percent":%.1f,"window_minutes":10080,"resets_at":%d},'
            b'"credits":{"has_credits":false,"unlimited":false,"balance":null},"plan_type":"plus",'
            b'"rate_limit_reached_type":null}'
        ) % (limit_id, limit_name, primary, int(primary_reset), secondary, int(secondary_reset))

    def resets_in_seconds(self, instant):
        primary, primary_reset, secondary, secondary_reset = self.windows(instant)
        return (
            b'{"primary":{"used_percent":%.1f,"window_minutes":300,"resets_in_seconds":%d},'
            b'"secondary":{"used_percent":%.1f,"window_minutes":10080,"resets_in_seconds":%d}}'
        ) % (primary, int(primary_reset - instant), secondary, int(secondary_reset - instant))

    def flat_with_resets(self, instant):
        primary, primary_reset, secondary, secondary_reset = self.windows(instant)
        return (
            b'{"primary_used_percent":%.1f,"secondary_used_percent":%.1f,"primary_to_secondary_ratio_percent":%.1f,'
            b'"primary_window_minutes":300,"secondary_window_minutes":10080,'
            b'"primary_reset_after_seconds":%d,"secondary_reset_after_seconds":%d}'
        ) % (primary, secondary, 100.0 * FIVE_HOURS / WEEK, int(primary_reset - instant), int(secondary_reset - instant))

    def flat(self, instant):
        primary, _, secondary, _ = self.windows(instant)
        return (
            b'{"primary_used_percent":%.1f,"secondary_used_percent":%.1f,"primary_to_secondary_ratio_percent":%.1f,'
            b'"primary_window_minutes":300,"secondary_window_minutes":10080}'
        ) % (primary, secondary, 100.0 * FIVE_HOURS / WEEK)

    def record(self, instant, age):
        """The record of an event at `instant` in a session `age` seconds
        old: the older the session, the older the shape."""
        if self.rng.random() < 0.02:
            return b"null"
        if age < NEWEST_PRUNED:
            return self.current(instant, "codex_mini" if self.rng.random() < 0.05 else "codex")
        if age < 30 * DAY:
            return self.resets_in_seconds(instant)
        if age < 90 * DAY:
            return self.flat_with_resets(instant)
        return self.flat(instant)


def usage(input_tokens, cached, output, reasoning):
    return b'{"input_tokens":%d,"cached_input_tokens":%d,"output_tokens":%d,"reasoning_output_tokens":%d,"total_tokens":%d}' % (
        input_tokens,
        cached,
        output,
        reasoning,
        input_tokens + output,
    )


class Session:
    """One session's lines, written until the file reaches its size. Each
    line's timestamp advances with the bytes written, from the session's
    start to its end."""

    def __init__(self, rng, pieces, limits, start, end, size, age, identifier):
        self.rng, self.pieces, self.limits = rng, pieces, limits
        self.start, self.end, self.size, self.age = start, end, size, age
        self.identifier = identifier
        self.chunks = []
        self.written = 0
        self.totals = [0, 0, 0, 0]

    def now(self):
        return self.start + (self.end - self.start) * min(1.0, self.written / self.size)

    def line(self, kind, payload, instant=None):
        line = b'{"timestamp":"%s","type":"%s","payload":%s}\n' % (timestamp(instant or self.now()), kind, payload)
        self.chunks.append(line)
        self.written += len(line)

    def item(self, payload):
        self.line(b"response_item", payload)

    def token_count(self, last):
        instant = self.now()
        if last is None:
            info = b"null"
        else:
            self.totals = [total + part for total, part in zip(self.totals, last)]
            info = b'{"total_token_usage":%s,"last_token_usage":%s,"model_context_window":272000}' % (
                usage(*self.totals),
                usage(*last),
            )
        payload = b'{"type":"token_count","info":%s,"rate_limits":%s}' % (info, self.limits.record(instant, self.age))
        self.line(b"event_msg", payload, instant)
        # Sessions re-emit an event with unchanged totals now and then.
        if last is not None and self.rng.random() < 0.2:
            self.line(b"event_msg", payload, instant + 0.25)

    def turn(self):
        rng, pieces = self.rng, self.pieces
        self.line(
            b"turn_context",
            b'{"cwd":"/home/user/src/project","approval_policy":"on-request","sandbox_policy":{"mode":"workspace-write"},'
            b'"model":"gpt-5-codex","effort":"medium","summary":"auto"}',
        )
        prompt = pieces.text(rng.randrange(40, 1500))
        self.item(b'{"type":"message","role":"user","content":[{"type":"input_text","text":"%s"}]}' % prompt)
        self.line(b"event_msg", b'{"type":"user_message","message":"%s","kind":"plain"}' % prompt)
        for call in range(rng.randrange(1, 6)):
            self.item(
                b'{"type":"reasoning","summary":[{"type":"summary_text","text":"%s"}],"content":null,"encrypted_content":"%s"}'
                % (pieces.text(rng.randrange(80, 600)), pieces.blob(rng.randrange(800, 6000)))
            )
            call_id = b"call_%s_%d" % (pieces.blob(16), call)
            self.item(
                b'{"type":"function_call","name":"shell","arguments":"{\\"command\\":[\\"bash\\",\\"-lc\\",\\"%s\\"]}","call_id":"%s"}'
                % (pieces.text(rng.randrange(20, 200)), call_id)
            )
            self.item(
                b'{"type":"function_call_output","call_id":"%s","output":"%s"}' % (call_id, pieces.text(rng.randrange(500, 24_000)))
            )
        answer = pieces.text(rng.randrange(200, 4000))
        self.item(b'{"type":"message","role":"assistant","content":[{"type":"output_text","text":"%s"}]}' % answer)
        self.line(b"event_msg", b'{"type":"agent_message","message":"%s"}' % answer)
        input_tokens = rng.randrange(2_000, 60_000)
        self.token_count((input_tokens, input_tokens * rng.randrange(0, 90) // 100, rng.randrange(10, 4_000), rng.randrange(0, 2_000)))

    def lines(self):
        self.line(
            b"session_meta",
            b'{"id":"%s","timestamp":"%s","cwd":"/home/user/src/project","originator":"cli","cli_version":"0.50.0",'
            b'"instructions":null,"source":"cli","model_provider":"openai"}' % (self.identifier.encode(), timestamp(self.start)),
        )
        # The first event of a session often carries the limits alone.
        self.token_count(None)
        while self.written < self.size:
            self.turn()
        return self.chunks


def session_times(rng, count, recent, now):
    """(start, end) of each session, the `recent` first ones ended within the
    last week and the newest of all a minute ago."""
    times = []
    for index in range(count):
        if index == 0:
            end = now - 60
        elif index < recent:
            end = now - rng.uniform(60, OLDEST_KEPT - DAY)
        else:
            end = now - rng.uniform(NEWEST_PRUNED, OLDEST)
        times.append((end - rng.uniform(300, 3 * 3_600), end))
    return times


def write_history(home, count, megabytes, recent_fraction, seed, now):
    rng = random.Random(seed)
    pieces = Pieces(rng)
    limits = RateLimits(rng, now)
    recent = max(1, round(count * recent_fraction))
    weights = [rng.lognormvariate(0, 0.8) for _ in range(count)]
    scale = megabytes * 1_000_000 / sum(weights)
    total = 0
    for (start, end), weight in zip(session_times(rng, count, recent, now), weights):
        identifier = str(uuid.UUID(int=rng.getrandbits(128), version=4))
        local = time.localtime(int(start))
        folder = os.path.join(home, "sessions", time.strftime("%Y/%m/%d", local))
        os.makedirs(folder, exist_ok=True)
        path = os.path.join(folder, f"rollout-{time.strftime('%Y-%m-%dT%H-%M-%S', local)}-{identifier}.jsonl")
        session = Session(rng, pieces, limits, start, end, max(1, int(weight * scale)), now - end, identifier)
        data = b"".join(session.lines())
        with open(path, "wb") as file:
            file.write(data)
        os.utime(path, (end, end))
        total += len(data)
    return recent, total


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("home", help="the Codex home to create")
    parser.add_argument("--files", type=int, default=2000, help="number of session files (default 2000)")
    parser.add_argument("--megabytes", type=float, default=1000, help="their size in all, in MB (default 1000)")
    parser.add_argument("--recent-fraction", type=float, default=0.1, help="share of them ended within the last week (default 0.1)")
    parser.add_argument("--seed", type=int, default=17)
    parser.add_argument("--now", type=float, default=None, help="the present, in Unix seconds (default: the clock)")
    arguments = parser.parse_args()
    if arguments.files < 1 or arguments.megabytes <= 0 or not 0 <= arguments.recent_fraction <= 1:
        parser.error("--files must be at least 1, --megabytes positive and --recent-fraction within 0 to 1")
    if os.path.exists(os.path.join(arguments.home, "sessions")):
        parser.error(f"{arguments.home} already holds sessions; choose a new folder")
    now = time.time() if arguments.now is None else arguments.now
    recent, total = write_history(arguments.home, arguments.files, arguments.megabytes, arguments.recent_fraction, arguments.seed, now)
    print(f"{arguments.files} session files, {recent} of them recent, {total / 1e6:.0f} MB", file=sys.stderr)


if __name__ == "__main__":
    main()
