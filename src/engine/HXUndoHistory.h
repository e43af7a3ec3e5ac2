#pragma once

#include <QByteArray>

#include <cstddef>
#include <deque>
#include <optional>

// The undo and redo stacks: whole-configuration snapshots as binary property-list data. Years of data
// make each snapshot tens of megabytes, so together they keep at most a byte budget, dropping the
// oldest snapshots first but always keeping the newest few of each stack.
class HXUndoHistory {
public:
    static constexpr std::size_t kDefaultByteBudget = 512ull * 1024 * 1024;
    static constexpr std::size_t kMinimumKeptSnapshots = 10;

    explicit HXUndoHistory(std::size_t byteBudget = kDefaultByteBudget) : m_budget(byteBudget) {}

    // A null snapshot discards the whole stack.
    void pushUndoState(const QByteArray& snapshot);
    void pushRedoState(const QByteArray& snapshot);
    std::optional<QByteArray> popUndoState();
    std::optional<QByteArray> popRedoState();
    const QByteArray* topUndoState() const { return m_undo.empty() ? nullptr : &m_undo.back(); }
    const QByteArray* topRedoState() const { return m_redo.empty() ? nullptr : &m_redo.back(); }

    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    std::size_t undoCount() const { return m_undo.size(); }
    std::size_t redoCount() const { return m_redo.size(); }
    std::size_t totalBytes() const { return m_bytes; }

private:
    void push(std::deque<QByteArray>& stack, const QByteArray& snapshot);
    std::optional<QByteArray> pop(std::deque<QByteArray>& stack);
    void enforceBudget();

    std::size_t m_budget;
    std::size_t m_bytes = 0;
    std::deque<QByteArray> m_undo;
    std::deque<QByteArray> m_redo;
};
