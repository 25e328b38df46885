// StatusBarDocument: `bar --format json`, one stable document a line for
// scripts and desktop-shell extensions. Every field is always present
// (null when it has no value); fields may be added, never renamed:
//
//   version        1
//   date           the instant the document speaks of (RFC 3339, UTC)
//   state          "shown", "empty" (no snapshot yet) or "error" (unreadable)
//   message        why nothing is shown, or null
//   text           the bar's line
//   tooltip        the long form, lines joined by "\n"
//   class          as Waybar's: worst severity and "stale", or "empty"/"error"
//   severity       the worst severity: unknown, ok, watch, tight, critical
//   percentage     the least remaining share shown (0–100), or null
//   forecast       the codex forecast sentence, or null
//   updated        "Updated 22:45", or null
//   providers      per displayed provider, codex first:
//     id, title, shortTitle, status ("available", "unavailable", "noData", "error")
//     fresh        whether its data is current
//     observedAt, freshUntil   RFC 3339 or null
//     severity     of its binding limit's shown share
//     text         its part of the line ("Codex 64%")
//     details      its lines of the long form
//     binding      {id, title, remainingPercent, resetDate} of the binding
//                  limit while its values are shown, or null
//     limits       every limit its details list, for a gauge each (none
//                  when the details say why none is shown):
//       id, title, remainingPercent (held to 0–100, or null)
//       severity   of the share left; color its "#RRGGBB", null if unknown
//       left       "64% left", or "—"
//       reset      "Resets 14:00", "Resets Mar 20, 14:39" on another day, or null
//       countdown  "in 1h 5m", or null
//       accessibleName, description   "Codex Pro, 5h", "64% left. Resets 14:00"
//   pieces         the line as the bar colours it, [{text, class, color}]:
//                  class is a share's severity, "stale" for the stale mark,
//                  "empty" or "error" for the line without a document, or
//                  null for plain text; color its "#RRGGBB" or null; the
//                  texts joined are `text`
//   spoken         the line in words, for an accessible name ("Codex: 64%
//                  left. Claude: 42% left, outdated")
//   openLabel      the label of an action that opens the window ("Open Tavvo")
//   nextChange     when time alone next changes the document (a countdown's
//                  minute, data turning stale), or null: a host that asks
//                  for one document at a time asks again then at the latest
//
// Colours are those of the appearance asked for, dark unless told.
#pragma once

#include "Platform/UI/Color.hpp"
#include "TavvoWidgetExtension/TavvoStatusBar/StatusBarSummary.hpp"

#include <string>

namespace TavvoSurfaces {

std::string statusBarDocument(const StatusBarSummary& summary, UI::Appearance appearance);

} // namespace TavvoSurfaces
