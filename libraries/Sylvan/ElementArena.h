#pragma once

// Storage for the elements of a read document. A file of thousands of records
// becomes hundreds of thousands of elements; taking them from large blocks
// instead of one allocation each makes reading several times cheaper, and
// blocks of two megabytes and more may be backed by huge pages, which saves
// the system most of the work of handing out the memory. Private to the library.

#include <cstddef>
#include <memory_resource>
#include <vector>

namespace Sylvan::Detail {

class ElementArena final : public std::pmr::memory_resource
{
public:
    ElementArena() = default;
    ~ElementArena() override;
    ElementArena(const ElementArena &) = delete;
    ElementArena &operator=(const ElementArena &) = delete;

    // Memory for one object; freed with the arena only, after the objects in
    // it were destroyed.
    void *allocate(std::size_t size, std::size_t alignment);
    // Marks memory of a destroyed object: under AddressSanitizer any later
    // use of it is reported, as it would be for memory given back to the heap.
    static void retire(void *memory, std::size_t size);

private:
    // For the elements' lists: memory given back is only reused with the arena.
    void *do_allocate(std::size_t size, std::size_t alignment) override { return allocate(size, alignment); }
    void do_deallocate(void *memory, std::size_t size, std::size_t) override { retire(memory, size); }
    bool do_is_equal(const std::pmr::memory_resource &other) const noexcept override
    {
        return this == &other;
    }

    std::vector<void *> m_blocks;
    char *m_next = nullptr;
    char *m_end = nullptr;
    std::size_t m_nextBlockSize = 64 * 1024;
};

} // namespace Sylvan::Detail
