#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "output.h"

// A page's bytes as they are made: in memory, or in a scratch file beyond
// a size, with their length and a 64-bit hash.
class PageBuffer final : public Output {
public:
    // A part of a page needs no hash of its own.
    explicit PageBuffer(bool hashed = true);
    ~PageBuffer() override;
    PageBuffer(const PageBuffer&) = delete;
    PageBuffer& operator=(const PageBuffer&) = delete;

    bool write(const char* data, std::size_t size) override;
    std::uint64_t hash() const;
    std::uint64_t size() const { return size_; }
    // Writes the bytes to out; false when they could not all be read back.
    bool copy_to(Output& out);
    // Empty for the next page, keeping the memory it had: pages of an
    // evening of a hundred games take a megabyte each.
    void clear();

private:
    std::string memory_;
    struct Spill;
    std::unique_ptr<Spill> spill_;
    std::uint64_t size_ = 0;
    bool hashed_;
    std::uint64_t state_;
    std::uint64_t tail_ = 0;
    int tail_size_ = 0;
    void hash_more(const char* data, std::size_t size);
};
