#include "filters/HXWindowTitleFilters.h"
#include "filters/HXFilterKeys.h"
#include "support/TestSupport.h"

#include "FiltersTestSupport.h"

#include <gtest/gtest.h>

namespace {

QString s(const char16_t* text) {
    return QString::fromUtf16(text);
}

HXDictionaryRef application(const char16_t* identifier, const char16_t* name) {
    return makeDictionary({{s(u"Application ID"), s(identifier)}, {s(u"Name"), s(name)}, {s(u"Time"), 12.0}});
}

HXDictionaryRef entry(const char16_t* identifier, const char16_t* name, HXArrayRef filters) {
    auto e = makeDictionary({{s(u"Application ID"), s(identifier)}, {s(u"Name"), s(name)}});
    if (filters)
        e->setValue(HXFilterKeys::Filters, filters);
    return e;
}

HXDictionaryRef filterRecord(const char16_t* prefix) {
    return makeDictionary({{s(u"Prefix Delimiter"), s(prefix)}});
}

HXArrayRef entries(const HXDictionary& configuration) {
    return configuration.arrayForKey(HXFilterKeys::WindowTitleFilters);
}

} // namespace

TEST(HXWindowTitleFilters, FoundByApplicationIDOrByName) {
    auto configuration = HXDictionary::create();
    auto mailFilters = makeArray({filterRecord(u"-")});
    auto notesFilters = makeArray({filterRecord(u":")});
    configuration->setValue(HXFilterKeys::WindowTitleFilters,
                            makeArray({entry(u"org.example.mail", u"Mail", mailFilters),
                                       entry(u"/usr/bin/notes", u"Notes", notesFilters)}));

    EXPECT_EQ(windowTitleFiltersWithIdentifier(*configuration, s(u"org.example.mail"), nullptr, false),
              mailFilters);
    EXPECT_EQ(windowTitleFiltersWithIdentifier(*configuration, s(u"Notes"), nullptr, false), notesFilters);
    EXPECT_EQ(windowTitleFiltersWithIdentifier(*configuration, s(u"org.example.other"), nullptr, false),
              nullptr);
    EXPECT_EQ(windowTitleFiltersWithIdentifier(*configuration, QString(), nullptr, false), nullptr);
    // Identity, not a copy.
    EXPECT_EQ(entries(*configuration)->count(), 2);
}

TEST(HXWindowTitleFilters, NothingToFindWithoutTheKeyOrWithOddEntries) {
    auto configuration = HXDictionary::create();
    EXPECT_EQ(windowTitleFiltersWithIdentifier(*configuration, s(u"x"), nullptr, true), nullptr);
    EXPECT_FALSE(configuration->contains(HXFilterKeys::WindowTitleFilters));

    configuration->setValue(HXFilterKeys::WindowTitleFilters, makeArray({HXValue(3), s(u"x")}));
    auto noIdentifier = HXDictionary::create();
    noIdentifier->setValue(HXFilterKeys::Filters, makeArray({filterRecord(u"-")}));
    entries(*configuration)->append(noIdentifier);
    // An entry without "Application ID" and "Name" is nobody's, not even the empty identifier's.
    EXPECT_EQ(windowTitleFiltersWithIdentifier(*configuration, s(u""), nullptr, false), nullptr);
}

TEST(HXWindowTitleFilters, CreatedForAnApplicationOnFirstNeed) {
    auto configuration = HXDictionary::create();
    const auto app = application(u"org.example.mail", u"Mail");
    const HXArrayRef created =
        windowTitleFiltersWithIdentifier(*configuration, s(u"org.example.mail"), app.get(), false);
    ASSERT_NE(created, nullptr);
    EXPECT_TRUE(created->isEmpty());
    ASSERT_NE(entries(*configuration), nullptr);
    ASSERT_EQ(entries(*configuration)->count(), 1);
    const HXDictionaryRef made = entries(*configuration)->dictionaryAt(0);
    EXPECT_EQ(made->stringForKey(HXKeys::ApplicationID), u"org.example.mail");
    EXPECT_EQ(made->stringForKey(HXKeys::Name), u"Mail");
    EXPECT_EQ(made->arrayForKey(HXFilterKeys::Filters), created);
    EXPECT_FALSE(made->contains(HXKeys::Time));

    // Found again, not created twice.
    EXPECT_EQ(windowTitleFiltersWithIdentifier(*configuration, s(u"org.example.mail"), app.get(), false),
              created);
    EXPECT_EQ(entries(*configuration)->count(), 1);
}

TEST(HXWindowTitleFilters, AnEntryWithoutFiltersGetsANewArray) {
    auto configuration = HXDictionary::create();
    auto bare = entry(u"org.example.mail", u"Mail", nullptr);
    configuration->setValue(HXFilterKeys::WindowTitleFilters, makeArray({bare}));
    const auto app = application(u"org.example.mail", u"Mail");
    const HXArrayRef created = windowTitleFiltersWithIdentifier(*configuration, s(u"Mail"), app.get(), false);
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(entries(*configuration)->count(), 1);
    EXPECT_EQ(bare->arrayForKey(HXFilterKeys::Filters), created);
}

TEST(HXWindowTitleFilters, ClearRemovesTheEntryFoundByIdentity) {
    auto configuration = HXDictionary::create();
    auto first = entry(u"org.example.mail", u"Mail", makeArray({filterRecord(u"-")}));
    auto twin = entry(u"org.example.mail", u"Mail", makeArray({filterRecord(u"-")}));
    auto other = entry(u"org.example.notes", u"Notes", makeArray({filterRecord(u":")}));
    configuration->setValue(HXFilterKeys::WindowTitleFilters, makeArray({first, twin, other}));

    EXPECT_EQ(windowTitleFiltersWithIdentifier(*configuration, s(u"org.example.mail"), nullptr, true),
              nullptr);
    const HXArrayRef remaining = entries(*configuration);
    ASSERT_EQ(remaining->count(), 2);
    // An equal entry is a different record and stays.
    EXPECT_EQ(remaining->dictionaryAt(0), twin);
    EXPECT_EQ(remaining->dictionaryAt(1), other);
}

TEST(HXWindowTitleFilters, AnApplicationWithFiltersIsClearedToo) {
    auto configuration = HXDictionary::create();
    auto existing = entry(u"org.example.mail", u"Mail", makeArray({filterRecord(u"-")}));
    configuration->setValue(HXFilterKeys::WindowTitleFilters, makeArray({existing}));
    const auto app = application(u"org.example.mail", u"Mail");
    EXPECT_EQ(windowTitleFiltersWithIdentifier(*configuration, s(u"org.example.mail"), app.get(), true),
              nullptr);
    EXPECT_TRUE(entries(*configuration)->isEmpty());
}

TEST(HXWindowTitleFilters, CurrentRecordIsTheLastOne) {
    auto configuration = HXDictionary::create();
    const auto app = application(u"org.example.mail", u"Mail");
    EXPECT_TRUE(currentWindowTitleFilter(*configuration, *app)->isEmpty());
    auto last = filterRecord(u"+");
    configuration->setValue(
        HXFilterKeys::WindowTitleFilters,
        makeArray({entry(u"org.example.mail", u"Mail", makeArray({filterRecord(u"-"), last}))}));
    EXPECT_EQ(currentWindowTitleFilter(*configuration, *app), last);
}

TEST(HXWindowTitleFilters, EditedRecordPushesUndoOnlyForARealChange) {
    auto configuration = HXDictionary::create();
    const auto app = application(u"org.example.mail", u"Mail");
    int pushes = 0;
    const auto push = [&pushes] {
        ++pushes;
    };

    // Nothing to nothing: no change, no entry.
    EXPECT_FALSE(applyEditedWindowTitleFilter(*configuration, *app, HXDictionary::create(), push));
    EXPECT_EQ(pushes, 0);
    EXPECT_FALSE(configuration->contains(HXFilterKeys::WindowTitleFilters));

    EXPECT_TRUE(applyEditedWindowTitleFilter(*configuration, *app, filterRecord(u" - "), push));
    EXPECT_EQ(pushes, 1);
    const HXArrayRef filters =
        windowTitleFiltersWithIdentifier(*configuration, s(u"org.example.mail"), nullptr, false);
    ASSERT_NE(filters, nullptr);
    ASSERT_EQ(filters->count(), 1);
    EXPECT_EQ(*filters->dictionaryAt(0), *filterRecord(u" - "));

    // An equal record (another object) changes nothing.
    EXPECT_FALSE(applyEditedWindowTitleFilter(*configuration, *app, filterRecord(u" - "), push));
    EXPECT_EQ(pushes, 1);

    // The undo state is taken before the change.
    const auto editedRecord = filterRecord(u":");
    bool sawOldState = false;
    EXPECT_TRUE(applyEditedWindowTitleFilter(*configuration, *app, editedRecord, [&] {
        ++pushes;
        sawOldState = *currentWindowTitleFilter(*configuration, *app) == *filterRecord(u" - ");
    }));
    EXPECT_EQ(pushes, 2);
    EXPECT_TRUE(sawOldState);
    EXPECT_EQ(currentWindowTitleFilter(*configuration, *app), editedRecord);
}

TEST(HXWindowTitleFilters, EditedRecordReplacesAllRecords) {
    auto configuration = HXDictionary::create();
    const auto app = application(u"org.example.mail", u"Mail");
    auto filters = makeArray({filterRecord(u"a"), filterRecord(u"b")});
    configuration->setValue(HXFilterKeys::WindowTitleFilters,
                            makeArray({entry(u"org.example.mail", u"Mail", filters)}));
    const auto edited = filterRecord(u"c");
    EXPECT_TRUE(applyEditedWindowTitleFilter(*configuration, *app, edited, nullptr));
    ASSERT_EQ(filters->count(), 1);
    EXPECT_EQ(filters->dictionaryAt(0), edited);
}

TEST(HXWindowTitleFilters, EmptyRecordRemovesTheApplicationsEntry) {
    auto configuration = HXDictionary::create();
    const auto app = application(u"org.example.mail", u"Mail");
    auto other = entry(u"org.example.notes", u"Notes", makeArray({filterRecord(u":")}));
    configuration->setValue(
        HXFilterKeys::WindowTitleFilters,
        makeArray({entry(u"org.example.mail", u"Mail", makeArray({filterRecord(u"-")})), other}));
    int pushes = 0;
    EXPECT_TRUE(
        applyEditedWindowTitleFilter(*configuration, *app, HXDictionary::create(), [&] { ++pushes; }));
    EXPECT_EQ(pushes, 1);
    ASSERT_EQ(entries(*configuration)->count(), 1);
    EXPECT_EQ(entries(*configuration)->dictionaryAt(0), other);
}

TEST(HXWindowTitleFilters, HeaderNamesTheApplication) {
    EXPECT_EQ(windowTitleFilterHeader(*application(u"org.example.mail", u"Mail")),
              u"Mail: Window Title Filter");
}
