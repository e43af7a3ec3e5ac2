#pragma once

#include "foundation/HXArray.h"

#include <atomic>
#include <memory>
#include <span>
#include <vector>

// Where the live report keeps the clipped logs of its lists: packed one after the other in large
// chunks, instead of one allocation per log, and the chunks of a list nobody holds any more are
// filled anew by the next. A chunk is written only where no array refers to it yet, so the logs of a
// list still shown never change.
class HXClippedLogStorage {
public:
    // A packed array of a copy of the numbers (see HXArray::createWithBorrowedDoubles for sortedByMagnitude).
    HXArrayRef arrayWithNumbers(std::span<const double> numbers,
                                std::optional<bool> sortedByMagnitude = std::nullopt);
    // Frees the spare chunks beyond as many as were filled since the last call: the next list of the same
    // size finds room again, and a short list after a long one gives the memory back.
    void trim();

    qsizetype chunkCount() const { return static_cast<qsizetype>(m_chunks.size()); }

private:
    struct Chunk {
        std::unique_ptr<double[]> numbers;
        std::size_t capacity = 0;
    };

    bool isSpare(std::size_t index) const {
        if (m_chunks[index].use_count() != 1)
            return false;
        // The last array of a list given up on another thread read the chunk before it let go.
        std::atomic_thread_fence(std::memory_order_acquire);
        return true;
    }
    void moveToChunkWithRoomFor(std::size_t count);

    std::vector<std::shared_ptr<Chunk>> m_chunks;
    std::size_t m_current = 0;
    std::size_t m_used = 0;
    std::size_t m_filledSinceTrim = 0;
};
