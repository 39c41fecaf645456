#include "sqlite_pool.h"

#include <sanitizer/asan_interface.h>
#include <sqlite3.h>

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// The pool reads its headers, which stay poisoned, and is no part of what is
// fuzzed: its branches would only add coverage that means nothing.
#define POOL_CODE __attribute__((no_sanitize("address", "coverage")))

// Each block has a header before it: its size class and the size handed
// out, and the link of the free list. The header is never handed out, so it
// is a poisoned gap between blocks, too.
struct Header {
    std::uint32_t size_class;
    std::uint32_t size;
    Header* next;
};
static_assert(sizeof(Header) == 16);

constexpr std::size_t ALIGN = 16;
// Sizes up to 1 KiB in steps of 16, then four steps per power of two up to
// 1 MiB; larger blocks (rare: long texts) come from malloc itself.
constexpr std::size_t SMALL_LIMIT = 1024;
constexpr int SMALL_CLASSES = SMALL_LIMIT / ALIGN;
constexpr int SMALL_POWER = std::bit_width(SMALL_LIMIT) - 1;
constexpr int LARGE_STEPS = 4;
constexpr int LARGE_CLASSES = 10 * LARGE_STEPS;  // 1 KiB to 1 MiB
constexpr int CLASSES = SMALL_CLASSES + LARGE_CLASSES;
constexpr std::uint32_t UNPOOLED = CLASSES;
constexpr std::size_t CHUNK = 4u << 20;

std::size_t class_bytes[CLASSES];

// Freed blocks are reused oldest first: a block freed a moment ago stays
// poisoned as long as possible, so that a read after the free is caught.
struct FreeList {
    Header* head = nullptr;
    Header* tail = nullptr;
};
FreeList free_lists[CLASSES];
char* chunk_next = nullptr;
char* chunk_end = nullptr;

// CLASSES when too large for the pool.
POOL_CODE int class_of(std::size_t bytes) {
    if (bytes <= SMALL_LIMIT) return static_cast<int>((bytes + ALIGN - 1) / ALIGN) - 1;
    // The largest power of two below, and the quarter steps above it.
    const int power = std::bit_width(bytes - 1) - 1;
    const std::size_t base = std::size_t{1} << power;
    const std::size_t step = ((bytes - base) * LARGE_STEPS + base - 1) / base;
    const int c = SMALL_CLASSES + (power - SMALL_POWER) * LARGE_STEPS + static_cast<int>(step) - 1;
    return c < CLASSES ? c : CLASSES;
}

POOL_CODE void fill_classes() {
    int c = 0;
    for (std::size_t bytes = ALIGN; bytes <= SMALL_LIMIT; bytes += ALIGN) class_bytes[c++] = bytes;
    for (std::size_t base = SMALL_LIMIT; c < CLASSES; base *= 2)
        for (int step = 1; step <= LARGE_STEPS && c < CLASSES; ++step)
            class_bytes[c++] = base + base * step / LARGE_STEPS;
    // Each size finds the least class that holds it.
    for (c = 0; c < CLASSES; ++c)
        if (class_of(class_bytes[c]) != c || class_of(class_bytes[c] + 8) != c + 1) std::abort();
}

POOL_CODE std::size_t rounded(std::size_t bytes) { return (bytes + 7) & ~std::size_t{7}; }

POOL_CODE Header* header_of(void* block) { return static_cast<Header*>(block) - 1; }

POOL_CODE Header* new_block(int size_class) {
    const std::size_t need = sizeof(Header) + class_bytes[size_class];
    if (chunk_next == nullptr || static_cast<std::size_t>(chunk_end - chunk_next) < need) {
        // The rest of the old chunk is left poisoned; the pool only grows.
        chunk_next = static_cast<char*>(std::malloc(CHUNK));
        if (chunk_next == nullptr) return nullptr;
        chunk_end = chunk_next + CHUNK;
        ASAN_POISON_MEMORY_REGION(chunk_next, CHUNK);
    }
    Header* header = reinterpret_cast<Header*>(chunk_next);
    chunk_next += need;
    header->size_class = static_cast<std::uint32_t>(size_class);
    return header;
}

POOL_CODE void* pool_malloc(int bytes) {
    if (bytes <= 0) return nullptr;
    const std::size_t size = rounded(static_cast<std::size_t>(bytes));
    const int size_class = class_of(size);
    Header* header = nullptr;
    if (size_class == CLASSES) {
        header = static_cast<Header*>(std::malloc(sizeof(Header) + size));
        if (header == nullptr) return nullptr;
        header->size_class = UNPOOLED;
    } else if (FreeList& list = free_lists[size_class]; list.head != nullptr) {
        header = list.head;
        list.head = header->next;
        if (list.head == nullptr) list.tail = nullptr;
    } else {
        header = new_block(size_class);
        if (header == nullptr) return nullptr;
    }
    // The header stays poisoned: it was, from its chunk on.
    header->size = static_cast<std::uint32_t>(size);
    header->next = nullptr;
    ASAN_UNPOISON_MEMORY_REGION(header + 1, size);
    return header + 1;
}

POOL_CODE void pool_free(void* block) {
    if (block == nullptr) return;
    Header* header = header_of(block);
    if (header->size_class == UNPOOLED) {
        std::free(header);
        return;
    }
    ASAN_POISON_MEMORY_REGION(block, class_bytes[header->size_class]);
    FreeList& list = free_lists[header->size_class];
    header->next = nullptr;
    if (list.tail != nullptr)
        list.tail->next = header;
    else
        list.head = header;
    list.tail = header;
}

POOL_CODE int pool_size(void* block) { return block == nullptr ? 0 : static_cast<int>(header_of(block)->size); }

POOL_CODE void* pool_realloc(void* block, int bytes) {
    if (block == nullptr) return pool_malloc(bytes);
    Header* header = header_of(block);
    const std::size_t size = rounded(static_cast<std::size_t>(bytes));
    // Still within its class: the block grows or shrinks in place.
    if (header->size_class != UNPOOLED && size <= class_bytes[header->size_class] && size > 0) {
        ASAN_POISON_MEMORY_REGION(block, class_bytes[header->size_class]);
        ASAN_UNPOISON_MEMORY_REGION(block, size);
        header->size = static_cast<std::uint32_t>(size);
        return block;
    }
    void* moved = pool_malloc(bytes);
    if (moved == nullptr) return nullptr;
    const std::size_t kept = header->size < size ? header->size : size;
    __builtin_memcpy(moved, block, kept);
    pool_free(block);
    return moved;
}

POOL_CODE int pool_roundup(int bytes) { return static_cast<int>(rounded(static_cast<std::size_t>(bytes))); }
int pool_init(void*) { return SQLITE_OK; }
void pool_shutdown(void*) {}

}  // namespace

void use_sqlite_pool() {
    fill_classes();
    static const sqlite3_mem_methods methods = {pool_malloc,  pool_free, pool_realloc,  pool_size,
                                                pool_roundup, pool_init, pool_shutdown, nullptr};
    if (sqlite3_config(SQLITE_CONFIG_MALLOC, &methods) != SQLITE_OK) std::abort();
}
