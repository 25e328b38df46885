// The user's preferred languages, taken from the POSIX locale environment,
// and the best match of a program's localizations against them.
#pragma once

#include <string>
#include <vector>

namespace Foundation {

// The user's languages as BCP 47 tags, most preferred first, without
// duplicates: the entries of LANGUAGE (a colon-separated list), then the
// locale in force (the first set of LC_ALL, LC_MESSAGES, LANG). Empty
// variables count as unset. "C" and "POSIX" mean no preference, and while
// the locale in force is one of them or unset, LANGUAGE is ignored, as
// gettext does. POSIX names are mapped:
//   "fr_CA.UTF-8" -> "fr-CA", "zh_TW" -> "zh-Hant-TW", "zh_CN" -> "zh-Hans-CN",
//   "sr_RS@latin" -> "sr-Latn-RS", "de_DE@euro" -> "de-DE".
// Names that do not map onto a well-formed tag are skipped.
std::vector<std::string> preferredLanguages();

// The candidate that best serves `preferences` (BCP 47 tags, most preferred
// first), exactly as written in `candidates`, as the only element; empty
// when no candidate matches well enough or there are no preferences.
// Candidates or preferences that are not well-formed tags are ignored.
//   preferredLocalizations({"en", "fr"}, {"fr-CA"}) == {"fr"}
//   preferredLocalizations({"en", "fr"}, {"de", "fr"}) == {"fr"}
//   preferredLocalizations({"en", "fr"}, {"de"}) == {}
std::vector<std::string> preferredLocalizations(
    const std::vector<std::string>& candidates, const std::vector<std::string>& preferences);

}
