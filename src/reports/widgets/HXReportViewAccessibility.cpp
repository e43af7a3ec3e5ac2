#include "reports/widgets/HXReportViewAccessibility.h"

#include "reports/widgets/HXReportDrawing.h"
#include "reports/widgets/HXReportView.h"

#include <QAccessibleWidget>
#include <QPointer>

#include <mutex>

using namespace HXKeys;

namespace {

class RowAccessible;

// The view: a list of its rows, made anew whenever the view shows another report list.
class ReportViewAccessible final : public QAccessibleWidget {
public:
    explicit ReportViewAccessible(HXReportView* view) : QAccessibleWidget(view, QAccessible::List) {}
    ~ReportViewAccessible() override { dropRows(); }

    HXReportView* view() const { return static_cast<HXReportView*>(widget()); }
    int childCount() const override {
        syncRows();
        return static_cast<int>(m_rows.size());
    }
    QAccessibleInterface* child(int index) const override {
        syncRows();
        if (index < 0 || static_cast<std::size_t>(index) >= m_rows.size())
            return nullptr;
        return QAccessible::accessibleInterface(m_rows[static_cast<std::size_t>(index)]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        syncRows();
        for (std::size_t i = 0; i < m_rows.size(); ++i) {
            if (QAccessible::accessibleInterface(m_rows[i]) == child)
                return static_cast<int>(i);
        }
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        syncRows();
        for (int i = 0; i < childCount(); ++i) {
            if (QAccessibleInterface* row = child(i); row && row->rect().contains(x, y))
                return row;
        }
        return nullptr;
    }

private:
    void syncRows() const;
    void dropRows() const {
        for (const QAccessible::Id id : m_rows)
            QAccessible::deleteAccessibleInterface(id);
        m_rows.clear();
    }

    mutable const HXArray* m_list = nullptr;
    mutable std::vector<QAccessible::Id> m_rows;
};

// One row: its record's name, and the fine print as the report shows it.
class RowAccessible final : public QAccessibleInterface {
public:
    RowAccessible(const ReportViewAccessible* parentInterface, HXReportView* view, HXDictionaryRef record,
                  int index)
        : m_parent(parentInterface), m_view(view), m_record(std::move(record)), m_index(index) {}

    bool isValid() const override { return m_view && m_record; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_view ? m_view->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return const_cast<ReportViewAccessible*>(m_parent); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.readOnly = true;
        s.invisible =
            !m_view || !m_view->isVisible() || !rectInView().intersects(m_view->visibleReportRect());
        return s;
    }
    QString text(QAccessible::Text t) const override {
        if (!isValid())
            return QString();
        if (t == QAccessible::Name)
            return HXReportRowName(m_record->stringForKey(Name));
        if (t == QAccessible::Description)
            return HXReportFinePrint(*m_record, m_view->content(), m_view->drawingStyle());
        return QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!m_view)
            return QRect();
        const QRectF r = rectInView();
        return QRect(m_view->mapToGlobal(r.topLeft().toPoint()), r.size().toSize());
    }

private:
    QRectF rectInView() const {
        const std::vector<QRectF> rows =
            HXReportRowRectangles(m_view->content(), QRectF(m_view->rect()), true);
        return static_cast<std::size_t>(m_index) < rows.size() ? rows[static_cast<std::size_t>(m_index)]
                                                               : QRectF();
    }

    const ReportViewAccessible* m_parent;
    QPointer<HXReportView> m_view;
    HXDictionaryRef m_record;
    int m_index;
};

void ReportViewAccessible::syncRows() const {
    HXReportView* v = view();
    const HXArray* list = v ? v->content().list.get() : nullptr;
    if (list == m_list)
        return;
    dropRows();
    m_list = list;
    if (!list)
        return;
    const std::vector<HXValue>& values = list->values();
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (const HXDictionaryRef& record = values[i].toDictionary())
            m_rows.push_back(QAccessible::registerAccessibleInterface(
                new RowAccessible(this, v, record, static_cast<int>(i))));
    }
}

QAccessibleInterface* reportViewFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("HXReportView") && object && object->isWidgetType())
        return new ReportViewAccessible(static_cast<HXReportView*>(object));
    return nullptr;
}

} // namespace

void HXInstallReportViewAccessibility() {
    static std::once_flag once;
    std::call_once(once, [] { QAccessible::installFactory(reportViewFactory); });
}
