#include "filters/widgets/HXFilterEditor.h"
#include "filters/HXFilterKeys.h"
#include "filters/HXWindowTitleFilters.h"
#include "filters/widgets/HXWindowTitleFilterEditing.h"
#include "foundation/HXLog.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>

#include "FiltersTestSupport.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

QString s(const char16_t* text) {
    return QString::fromUtf16(text);
}

void processDeferredDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QColor queryColor(const HXFilterEditor& editor) {
    return editor.regularExpressionQueryField()->palette().color(QPalette::Text);
}

// Runs the editor over a parent window and collects what it delivers.
struct EditorRun {
    QWidget parent;
    std::vector<HXDictionaryRef> delivered;
    QPointer<HXFilterEditor> editor;

    explicit EditorRun(const HXDictionaryRef& filter,
                       const QString& title = s(u"Mail: Window Title Filter")) {
        parent.show();
        const bool started = HXFilterEditor::runEditorWithFilter(
            filter, title, &parent, [this](const HXDictionaryRef& record) { delivered.push_back(record); });
        EXPECT_TRUE(started);
        editor = parent.findChild<HXFilterEditor*>();
    }
};

HXDictionaryRef record(std::initializer_list<std::pair<QString, HXValue>> entries) {
    return makeDictionary(entries);
}

} // namespace

TEST(HXFilterEditor, MissingParentWindowIsLoggedAndNothingRuns) {
    HXLogging::Capture log;
    bool called = false;
    EXPECT_FALSE(HXFilterEditor::runEditorWithFilter(HXDictionary::create(), s(u"x"), nullptr,
                                                     [&](const HXDictionaryRef&) { called = true; }));
    EXPECT_EQ(log.lines(), QStringList{s(u"[HXFilterEditor] missing parent window")});
    EXPECT_FALSE(called);
}

TEST(HXFilterEditor, SheetShowsTheRecordOverItsParent) {
    EditorRun run(record({{s(u"Prefix Delimiter"), s(u" - ")},
                          {s(u"Regular Expression: Query"), s(u"(\\w+)")},
                          {s(u"Regular Expression: Replacement"), s(u"\\u$1")}}));
    ASSERT_NE(run.editor, nullptr);
    EXPECT_TRUE(run.editor->isVisible());
    EXPECT_EQ(run.editor->windowModality(), Qt::WindowModal);
    EXPECT_EQ(run.editor->parentWidget(), &run.parent);
    EXPECT_EQ(run.editor->headerField()->text(), u"Mail: Window Title Filter");
    EXPECT_EQ(run.editor->prefixDelimiterField()->text(), u" - ");
    EXPECT_EQ(run.editor->suffixDelimiterField()->text(), u"");
    EXPECT_EQ(run.editor->regularExpressionQueryField()->text(), u"(\\w+)");
    EXPECT_EQ(run.editor->regularExpressionReplacementField()->text(), u"\\u$1");
    EXPECT_EQ(queryColor(*run.editor), QColor(Qt::black));
    EXPECT_TRUE(run.delivered.empty());
}

TEST(HXFilterEditor, QueryFieldIsRedWhileItDoesNotCompile) {
    EditorRun run(record({{s(u"Regular Expression: Query"), s(u"(open")}}), QString());
    ASSERT_NE(run.editor, nullptr);
    EXPECT_EQ(run.editor->headerField()->text(), u"");
    EXPECT_EQ(queryColor(*run.editor), QColor(Qt::red));
    run.editor->regularExpressionQueryField()->setText(s(u"(open)"));
    EXPECT_EQ(queryColor(*run.editor), QColor(Qt::black));
    run.editor->regularExpressionQueryField()->setText(s(u"[b-a]"));
    EXPECT_EQ(queryColor(*run.editor), QColor(Qt::red));
    run.editor->regularExpressionQueryField()->setText(QString());
    EXPECT_EQ(queryColor(*run.editor), QColor(Qt::black));
    // Other fields do not recolour it.
    run.editor->regularExpressionQueryField()->setText(s(u"*"));
    run.editor->prefixDelimiterField()->setText(s(u"x"));
    EXPECT_EQ(queryColor(*run.editor), QColor(Qt::red));
}

TEST(HXFilterEditor, DoneDeliversTheRecordOnceAndTheEditorGoes) {
    EditorRun run(HXDictionary::create());
    ASSERT_NE(run.editor, nullptr);
    run.editor->prefixDelimiterField()->setText(s(u" \u2014 "));
    run.editor->suffixDelimiterField()->setText(s(u""));
    run.editor->regularExpressionQueryField()->setText(s(u" (x"));
    run.editor->regularExpressionReplacementField()->setText(s(u"\\U$1 "));
    run.editor->done();
    EXPECT_FALSE(run.editor->isVisible());
    ASSERT_EQ(run.delivered.size(), 1u);
    // Empty fields are left out; text is stored as typed, even a query that does not compile.
    EXPECT_EQ(*run.delivered[0], *record({{s(u"Prefix Delimiter"), s(u" \u2014 ")},
                                          {s(u"Regular Expression: Query"), s(u" (x")},
                                          {s(u"Regular Expression: Replacement"), s(u"\\U$1 ")}}));
    run.editor->done();
    EXPECT_EQ(run.delivered.size(), 1u);
    processDeferredDeletes();
    EXPECT_EQ(run.editor, nullptr);
}

TEST(HXFilterEditor, ReplacementIsStoredOnlyWithAQuery) {
    EditorRun run(record({{s(u"Suffix Delimiter"), s(u" | ")}}));
    ASSERT_NE(run.editor, nullptr);
    run.editor->regularExpressionReplacementField()->setText(s(u"orphan"));
    run.editor->done();
    ASSERT_EQ(run.delivered.size(), 1u);
    EXPECT_EQ(*run.delivered[0], *record({{s(u"Suffix Delimiter"), s(u" | ")}}));
}

TEST(HXFilterEditor, EveryWayOfEndingTheSheetDeliversARecord) {
    EditorRun run(record({{s(u"Prefix Delimiter"), s(u":")}}));
    ASSERT_NE(run.editor, nullptr);
    run.editor->prefixDelimiterField()->clear();
    // Escape or closing the window rejects the dialog.
    run.editor->reject();
    ASSERT_EQ(run.delivered.size(), 1u);
    EXPECT_TRUE(run.delivered[0]->isEmpty());
}

TEST(HXFilterEditor, EditingAnApplicationsFilterStoresOnlyRealChanges) {
    auto configuration = HXDictionary::create();
    const auto app =
        makeDictionary({{s(u"Application ID"), s(u"org.example.mail")}, {s(u"Name"), s(u"Mail")}});
    QWidget parent;
    int pushes = 0;
    std::vector<bool> finished;
    const auto edit = [&] {
        EXPECT_TRUE(editWindowTitleFiltersForApplication(
            configuration, app, &parent, [&] { ++pushes; },
            [&](bool changed) { finished.push_back(changed); }));
        HXFilterEditor* editor = parent.findChild<HXFilterEditor*>();
        EXPECT_NE(editor, nullptr);
        return editor;
    };

    HXFilterEditor* editor = edit();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->headerField()->text(), u"Mail: Window Title Filter");
    editor->prefixDelimiterField()->setText(s(u" - "));
    editor->done();
    processDeferredDeletes();
    EXPECT_EQ(pushes, 1);
    EXPECT_EQ(finished, std::vector<bool>{true});
    EXPECT_EQ(*currentWindowTitleFilter(*configuration, *app),
              *record({{s(u"Prefix Delimiter"), s(u" - ")}}));

    // The editor starts from the stored record; saving it unchanged pushes nothing.
    editor = edit();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->prefixDelimiterField()->text(), u" - ");
    editor->done();
    processDeferredDeletes();
    EXPECT_EQ(pushes, 1);
    EXPECT_EQ(finished, (std::vector<bool>{true, false}));

    // Clearing every field removes the application's entry.
    editor = edit();
    ASSERT_NE(editor, nullptr);
    editor->prefixDelimiterField()->clear();
    editor->done();
    processDeferredDeletes();
    EXPECT_EQ(pushes, 2);
    EXPECT_EQ(finished, (std::vector<bool>{true, false, true}));
    EXPECT_TRUE(configuration->arrayForKey(HXFilterKeys::WindowTitleFilters)->isEmpty());
}
