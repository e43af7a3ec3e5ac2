#include "reports/cli/HXStoredReportSource.h"

#include "foundation/HXDefaultsKeys.h"
#include "foundation/HXUserDefaults.h"

HXStoredReportSource::HXStoredReportSource(HXDictionaryRef configuration, const HXUserDefaults& defaults)
    : m_configuration(configuration ? std::move(configuration) : HXDictionary::create()),
      m_defaults(defaults), m_sortColumn(static_cast<int>(defaults.integerForKey(HXDefaultsKeys::Sort))),
      m_lists(organizerListsFromStoredConfiguration(*m_configuration, defaults, m_sortColumn)) {}
