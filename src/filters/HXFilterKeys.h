#pragma once

#include "foundation/HXKeys.h"

// Keys of filter records and of the application filter entries in the configuration.
namespace HXFilterKeys {

inline constexpr HXKey PrefixDelimiter{u"Prefix Delimiter"};
inline constexpr HXKey SuffixDelimiter{u"Suffix Delimiter"};
inline constexpr HXKey RegularExpressionQuery{u"Regular Expression: Query"};
inline constexpr HXKey RegularExpressionReplacement{u"Regular Expression: Replacement"};

inline constexpr HXKey WindowTitleFilters{u"Window Title Filters"};
inline constexpr HXKey Filters{u"Filters"};

} // namespace HXFilterKeys
