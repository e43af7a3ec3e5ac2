#pragma once

#include "EngineHarness.h"

#include "adhoc/HXAdHocTimer.h"

#include <gtest/gtest.h>

using namespace HXKeys;

inline const QString kEditor = QStringLiteral("org.example.Editor");

// A launched tracker whose controller uses the real timer, on virtual time.
struct TimerWorld : EngineHarness {
    HXAdHocTimer timer{HXAdHocTimer::Services{time, time, *defaults, ui}};

    TimerWorld() {
        useAdHocTimer(&timer);
        windows.setApplications({fakeApplication(1, kEditor, QStringLiteral("Editor"))});
        lifecycle->applicationWillFinishLaunching();
        lifecycle->applicationDidFinishLaunching();
        time.advance(10);
    }
    HXDictionaryRef namedPool(const QString& name) {
        HXDictionaryRef pool = addPool(name, {});
        controller->updateLists(HXTrigger::Command);
        return pool;
    }
    // A pool with an ad hoc pool item holding entries of the given names and times.
    HXDictionaryRef poolWithEntries(const QString& name, std::vector<std::pair<QString, double>> entries) {
        HXDictionaryRef pool = namedPool(name);
        HXDictionaryRef adHoc = makeDictionary({{QStringLiteral("Name"), QString()},
                                                {QStringLiteral("Path"), QStringLiteral("_Ad_Hoc")},
                                                {QStringLiteral("Application ID"), QStringLiteral("_Ad_Hoc")},
                                                {QStringLiteral("Type"), QStringLiteral("Pool Item")}});
        auto children = HXArray::create();
        for (const auto& [entryName, seconds] : entries) {
            children->append(makeDictionary({{QStringLiteral("Name"), entryName},
                                             {QStringLiteral("Path"), QStringLiteral("_Window")},
                                             {QStringLiteral("Application ID"), QStringLiteral("_Ad_Hoc")},
                                             {QStringLiteral("Type"), QStringLiteral("Pool Item")},
                                             {QStringLiteral("Time"), seconds}}));
        }
        adHoc->setValue(Children, children);
        pool->arrayForKey(Children)->append(adHoc);
        return pool;
    }
    bool start(const HXDictionaryRef& pool = nullptr, const std::optional<QString>& name = std::nullopt) {
        return timer.startAtTimestamp(time.now(), name, pool, controller.get());
    }
    // Runs a timing of the given length under the name and keeps it.
    void keep(const HXDictionaryRef& pool, const QString& name, double seconds) {
        ASSERT_TRUE(start(pool));
        timer.controlTextDidChange(name);
        time.advance(seconds);
        timer.done(1);
    }
};

inline HXArrayRef children(const HXDictionaryRef& record) {
    return record ? record->arrayForKey(Children) : nullptr;
}

inline HXDictionaryRef child(const HXDictionaryRef& record, qsizetype index) {
    const HXArrayRef list = children(record);
    return list ? list->dictionaryAt(index) : nullptr;
}

inline HXDictionaryRef adHocItem(const HXDictionaryRef& pool) {
    const HXArrayRef list = children(pool);
    for (qsizetype i = 0; list && i < list->count(); ++i) {
        if (list->dictionaryAt(i)->stringForKey(ApplicationID) == u"_Ad_Hoc")
            return list->dictionaryAt(i);
    }
    return nullptr;
}

// By name: the order of children is the organizer's.
inline HXDictionaryRef entryNamed(const HXDictionaryRef& pool, const QString& name) {
    const HXArrayRef list = children(adHocItem(pool));
    for (qsizetype i = 0; list && i < list->count(); ++i) {
        if (list->dictionaryAt(i)->stringForKey(Name) == name)
            return list->dictionaryAt(i);
    }
    return nullptr;
}
