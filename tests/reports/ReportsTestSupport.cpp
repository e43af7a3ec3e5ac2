#include "ReportsTestSupport.h"

#include "reports/cli/HXCommandLineDefaults.h"

HXDictionaryRef record(std::initializer_list<std::pair<const char16_t*, HXValue>> entries) {
    auto d = HXDictionary::create();
    for (const auto& [key, value] : entries)
        d->setValue(HXKey(QString::fromUtf16(key)), value);
    return d;
}

HXDictionaryRef sampleConfiguration() {
    const auto inbox = record({{u"Name", u"Inbox"},
                               {u"Path", u"_Window"},
                               {u"Application ID", u"com.mail"},
                               {u"Active", true},
                               {u"Active Log", makeLog({1000, -1800})},
                               {u"Front Active Log", makeLog({1100, -1400})}});
    const auto drafts = record({{u"Name", u"Drafts"},
                                {u"Path", u"_Window"},
                                {u"Application ID", u"com.mail"},
                                {u"Active Log", makeLog({100, -200})}});
    const auto mail = record({{u"Name", u"Mail"},
                              {u"Path", u"/usr/share/applications/mail.desktop"},
                              {u"Application ID", u"com.mail"},
                              {u"Active", true},
                              {u"Expanded", true},
                              {u"Time", 1800.0},
                              {u"Front Time", 400.0},
                              {u"Active Log", makeLog({1000, -2000, 5000})},
                              {u"Front Active Log", makeLog({1100, -1500})},
                              {u"Windows By Name", record({{u"Inbox", inbox}, {u"Drafts", drafts}})}});
    const auto mainCpp = record({{u"Name", u"main.cpp"},
                                 {u"Path", u"_Window"},
                                 {u"Application ID", u"org.editor"},
                                 {u"Active Log", makeLog({3000, -3900})}});
    const auto editor = record({{u"Name", u"Editor"},
                                {u"Path", u"/usr/share/applications/editor.desktop"},
                                {u"Application ID", u"org.editor"},
                                {u"Time", 1000.0},
                                {u"Front Time", 500.0},
                                {u"Active Log", makeLog({3000, -4000})},
                                {u"Front Active Log", makeLog({3000, -3500})},
                                {u"Windows By Name", record({{u"main.cpp", mainCpp}})}});
    const auto idle = record({{u"Name", u"Idle"},
                              {u"Path", u"/usr/share/applications/idle.desktop"},
                              {u"Application ID", u"net.idle"},
                              {u"Time", 10.0},
                              {u"Active Log", makeLog({10, -20})}});
    const auto work = record(
        {{u"Name", u"Work"},
         {u"Path", u"_Pool"},
         {u"Type", u"Pool Item"},
         {u"Active", true},
         {u"Expanded", true},
         {u"Pool Notes", u"Client \"A\", billable"},
         {u"Active Log", makeLog({1000, -4000})},
         {u"Front Active Log", makeLog({1100, -3500})},
         {u"Children",
          makeArray({record({{u"Name", u"Mail"},
                             {u"Path", u"/usr/share/applications/mail.desktop"},
                             {u"Type", u"Pool Item"},
                             {u"Expanded", true},
                             {u"Active Log", makeLog({1000, -2000})},
                             {u"Children", makeArray({record({{u"Name", u"Inbox"},
                                                              {u"Path", u"_Window"},
                                                              {u"Type", u"Pool Item"},
                                                              {u"Active Log", makeLog({1000, -1800})}})})}}),
                     record({{u"Name", u"Editor"},
                             {u"Path", u"/usr/share/applications/editor.desktop"},
                             {u"Type", u"Pool Item"},
                             {u"Active Log", makeLog({3000, -4000})}})})}});
    const auto leisure = record({{u"Name", u"Leisure"},
                                 {u"Path", u"_Pool"},
                                 {u"Type", u"Pool Item"},
                                 {u"Paused", true},
                                 {u"Active Log", makeLog({50, -60})}});
    return record(
        {{u"Applications", record({{u"com.mail", mail}, {u"org.editor", editor}, {u"net.idle", idle}})},
         {u"Pools", makeArray({work, leisure})},
         {u"First Timestamp", 10.0},
         {u"First Pool Timestamp", 50.0},
         {u"Last Timestamp", 6000.0}});
}

HXDictionaryRef application(const HXDictionary& configuration, const QString& key) {
    return configuration.dictionaryForKey(u"Applications")->dictionaryForKey(key);
}

HXDictionaryRef pool(const HXDictionary& configuration, qsizetype index) {
    return configuration.arrayForKey(u"Pools")->dictionaryAt(index);
}

TestReportSource::TestReportSource(HXDictionaryRef configuration)
    : m_configuration(std::move(configuration)),
      m_defaults(m_scratch.file(QStringLiteral("Defaults.plist"))) {
    m_defaults.registerDefaults(*HXReportsRegisteredDefaults());
}

QStringList namesOf(const HXArray& list) {
    QStringList names;
    for (const HXValue& v : list.values())
        names.append(v.toDictionary()->stringForKey(HXKeys::Name));
    return names;
}

QStringList strings(std::initializer_list<const char16_t*> texts) {
    QStringList list;
    for (const char16_t* t : texts)
        list.append(QString::fromUtf16(t));
    return list;
}
