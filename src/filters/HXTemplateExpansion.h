#pragma once

#include <QString>
#include <QStringView>

#include <unicode/regex.h>

// Expands an ICU replacement template for the matcher's current match, by the rules of
// RegexMatcher::appendReplacement: "$n" and "${name}" insert a capture group, a backslash makes the next
// character literal, "\uhhhh" and "\Uhhhhhhhh" insert that character. The captured text is read from
// `text` at the match's ranges shifted by `offset`, so that earlier replacements in `text` are taken
// into account. Answers U_ZERO_ERROR and the expansion, or the error that ends it: a reference to a group
// the pattern does not have, or a captured range outside `text`.
struct HXTemplateExpansion {
    UErrorCode status = U_ZERO_ERROR;
    QString text;
    // What went wrong, for the log; empty on success.
    QString reason;
};

HXTemplateExpansion HXExpandTemplate(const icu::RegexMatcher& matcher, QStringView replacementTemplate,
                                     QStringView text, qsizetype offset);
