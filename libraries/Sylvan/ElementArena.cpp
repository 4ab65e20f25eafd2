#include "Sylvan/ElementArena.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

namespace Sylvan::Detail {

namespace {

constexpr std::size_t HugePage = std::size_t(2) * 1024 * 1024;
constexpr std::size_t LargestBlock = std::size_t(32) * 1024 * 1024;

} // namespace

ElementArena::~ElementArena()
{
    for (void *block : m_blocks)
        std::free(block);
}

void ElementArena::retire(void *memory, std::size_t size)
{
#if defined(__SANITIZE_ADDRESS__)
    ASAN_POISON_MEMORY_REGION(memory, size);
#else
    (void)memory;
    (void)size;
#endif
}

void *ElementArena::allocate(std::size_t size, std::size_t alignment)
{
    auto aligned = [alignment](char *at) {
        const auto address = reinterpret_cast<std::uintptr_t>(at);
        return reinterpret_cast<char *>((address + alignment - 1) & ~(std::uintptr_t(alignment) - 1));
    };
    char *at = m_next ? aligned(m_next) : nullptr;
    if (!at || at + size > m_end) {
        std::size_t blockSize = std::max(m_nextBlockSize, size + alignment);
        void *block = nullptr;
        if (blockSize >= HugePage) {
            blockSize = (blockSize + HugePage - 1) / HugePage * HugePage;
            block = std::aligned_alloc(HugePage, blockSize);
#ifdef MADV_HUGEPAGE
            if (block)
                madvise(block, blockSize, MADV_HUGEPAGE); // a hint: without huge pages it works as well
#endif
        } else {
            block = std::malloc(blockSize);
        }
        if (!block)
            throw std::bad_alloc();
        m_blocks.push_back(block);
        m_next = static_cast<char *>(block);
        m_end = m_next + blockSize;
        m_nextBlockSize = std::min(m_nextBlockSize * 2, LargestBlock);
        at = aligned(m_next);
    }
    m_next = at + size;
    return at;
}

} // namespace Sylvan::Detail
