#pragma once

#include "foundation/HXArray.h"

#include <QString>

#include <optional>

// Name checks against the blacklists; each takes the candidate name first.

// Without leading and trailing white space and newlines.
QString trimmedString(const QString& s);
// Without leading and trailing blanks and tabs (newlines stay).
QString trimmedOfWhitespace(const QString& s);
// Trimmed, and without a final ".app" (any case) when longer than four characters.
QString trimmedApplicationNameByIgnoringExtension(const QString& s);

// The trimmed name, or nothing when it is empty or matches an entry (inversion allowed).
std::optional<QString> validItemNameCheckedAgainstBlacklist(const QString& name, const HXArray* blacklist);

// The name unchanged, or nothing when an entry's "Qualifier" matches the application name and its
// "Value" matches the name.
std::optional<QString> validItemNameCheckedAgainstPreprocessedQualifiedBlacklist(const QString& name,
                                                                                 const HXArray* qualifiedList,
                                                                                 const QString& qualifier);

// For raw window blacklist lines, qualified with U+25B8 or not; the qualifier may be absent.
std::optional<QString>
validItemNameCheckedAgainstPotentiallyQualifiedBlacklist(const QString& name, const HXArray* blacklist,
                                                         const std::optional<QString>& qualifier);

// U+25B8, the separator of qualified window blacklist entries.
inline constexpr char16_t kRightTriangleArrow = u'\u25B8';
