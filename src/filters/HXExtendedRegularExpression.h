#pragma once

#include <QString>

#include <unicode/regex.h>

// Replaces every match of the expression in `string` by the extended template: an ICU replacement
// template ("$n", backslash escapes) that may also hold the case-conversion markers \l, \L, \u, \U and
// \E. A match whose template expansion fails is logged and replaced by nothing.
QString stringByReplacingMatchesInString(const icu::RegexPattern& expression, const QString& string,
                                         const QString& extendedTemplate);
// The same with a matcher of the expression that the caller keeps for reuse.
QString stringByReplacingMatchesInString(icu::RegexMatcher& matcher, const QString& string,
                                         const QString& extendedTemplate);

// Releases the parsed-template cache.
void HXClearExtendedRegularExpressionCache();
