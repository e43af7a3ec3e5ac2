#include "engine/HXUndoHistory.h"

void HXUndoHistory::pushUndoState(const QByteArray& snapshot) {
    push(m_undo, snapshot);
}

void HXUndoHistory::pushRedoState(const QByteArray& snapshot) {
    push(m_redo, snapshot);
}

std::optional<QByteArray> HXUndoHistory::popUndoState() {
    return pop(m_undo);
}

std::optional<QByteArray> HXUndoHistory::popRedoState() {
    return pop(m_redo);
}

void HXUndoHistory::push(std::deque<QByteArray>& stack, const QByteArray& snapshot) {
    if (snapshot.isNull()) {
        for (const QByteArray& s : stack)
            m_bytes -= static_cast<std::size_t>(s.size());
        stack.clear();
        return;
    }
    stack.push_back(snapshot);
    m_bytes += static_cast<std::size_t>(snapshot.size());
    enforceBudget();
}

std::optional<QByteArray> HXUndoHistory::pop(std::deque<QByteArray>& stack) {
    if (stack.empty())
        return std::nullopt;
    QByteArray top = std::move(stack.back());
    stack.pop_back();
    m_bytes -= static_cast<std::size_t>(top.size());
    return top;
}

void HXUndoHistory::enforceBudget() {
    // The oldest undo snapshots are the oldest of all; the redo stack gives up its bottom after them.
    for (std::deque<QByteArray>* stack : {&m_undo, &m_redo}) {
        while (m_bytes > m_budget && stack->size() > kMinimumKeptSnapshots) {
            m_bytes -= static_cast<std::size_t>(stack->front().size());
            stack->pop_front();
        }
    }
}
