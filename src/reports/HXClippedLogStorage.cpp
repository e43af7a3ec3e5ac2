#include "reports/HXClippedLogStorage.h"

#include <algorithm>
#include <cstring>

namespace {

// 256 KiB: a year of most items' logs fits many times over; longer logs get a chunk of their own size.
constexpr std::size_t kChunkNumbers = 32 * 1024;

} // namespace

HXArrayRef HXClippedLogStorage::arrayWithNumbers(std::span<const double> numbers,
                                                 std::optional<bool> sortedByMagnitude) {
    if (numbers.empty())
        return HXArray::create();
    // The chunk in use may have been given up meanwhile: then it is filled again from its start.
    if (m_current < m_chunks.size() && isSpare(m_current))
        m_used = 0;
    if (m_current >= m_chunks.size() || m_chunks[m_current]->capacity - m_used < numbers.size())
        moveToChunkWithRoomFor(numbers.size());
    const std::shared_ptr<Chunk>& chunk = m_chunks[m_current];
    double* const place = chunk->numbers.get() + m_used;
    std::memcpy(place, numbers.data(), numbers.size_bytes());
    m_used += numbers.size();
    return HXArray::createWithBorrowedDoubles(chunk, std::span<const double>(place, numbers.size()),
                                              sortedByMagnitude);
}

void HXClippedLogStorage::moveToChunkWithRoomFor(std::size_t count) {
    ++m_filledSinceTrim;
    m_used = 0;
    for (std::size_t i = 0; i < m_chunks.size(); ++i) {
        if (i != m_current && isSpare(i) && m_chunks[i]->capacity >= count) {
            m_current = i;
            return;
        }
    }
    auto chunk = std::make_shared<Chunk>();
    chunk->capacity = std::max(count, kChunkNumbers);
    chunk->numbers = std::make_unique_for_overwrite<double[]>(chunk->capacity);
    m_chunks.push_back(std::move(chunk));
    m_current = m_chunks.size() - 1;
}

void HXClippedLogStorage::trim() {
    std::size_t keep = m_filledSinceTrim;
    m_filledSinceTrim = 0;
    std::vector<std::shared_ptr<Chunk>> kept;
    std::size_t current = 0;
    for (std::size_t i = 0; i < m_chunks.size(); ++i) {
        const bool isCurrent = i == m_current;
        if (!isCurrent && isSpare(i)) {
            if (keep == 0)
                continue;
            --keep;
        }
        if (isCurrent)
            current = kept.size();
        kept.push_back(std::move(m_chunks[i]));
    }
    m_chunks = std::move(kept);
    m_current = m_chunks.empty() ? 0 : current;
    if (m_chunks.empty())
        m_used = 0;
}
