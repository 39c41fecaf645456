#include "page_buffer.h"

#include <cstring>

#include "file_system.h"

namespace {

// Pages up to this size are made in memory; a larger one (an evening of
// hundreds of games) in a scratch file.
constexpr std::size_t MEMORY_LIMIT = std::size_t{4} << 20;

// A 64-bit hash of every byte of a site, eight at a time: a changed page
// changes it with near certainty (a collision only keeps an old page).
constexpr std::uint64_t HASH_START = 0xcbf29ce484222325ull;
std::uint64_t mix(std::uint64_t state, std::uint64_t word) {
    state = (state ^ word) * 0x9e3779b97f4a7c15ull;
    return state ^ (state >> 31);
}

}  // namespace

struct PageBuffer::Spill {
    std::unique_ptr<ScratchFile> file;
};

PageBuffer::PageBuffer(bool hashed) : hashed_(hashed), state_(HASH_START) {}
PageBuffer::~PageBuffer() = default;

void PageBuffer::hash_more(const char* data, std::size_t size) {
    // The bytes of a word cut between two writes wait for the rest.
    while (size > 0 && tail_size_ > 0) {
        tail_ |= static_cast<std::uint64_t>(static_cast<unsigned char>(*data++)) << (8 * tail_size_);
        --size;
        if (++tail_size_ == 8) {
            state_ = mix(state_, tail_);
            tail_ = 0;
            tail_size_ = 0;
        }
    }
    for (; size >= 8; data += 8, size -= 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, data, 8);
        state_ = mix(state_, word);
    }
    for (; size > 0; --size)
        tail_ |= static_cast<std::uint64_t>(static_cast<unsigned char>(*data++)) << (8 * tail_size_++);
}

bool PageBuffer::write(const char* data, std::size_t size) {
    if (hashed_) hash_more(data, size);
    size_ += size;
    if (!spill_ && memory_.size() + size > MEMORY_LIMIT) {
        spill_ = std::make_unique<Spill>();
        spill_->file = real_file_system().open_scratch();
        if (!spill_->file || !spill_->file->write(memory_.data(), memory_.size())) return note(false);
        memory_.clear();
        memory_.shrink_to_fit();
    }
    if (spill_) return note(spill_->file != nullptr && spill_->file->write(data, size));
    memory_.append(data, size);
    return true;
}

void PageBuffer::clear() {
    memory_.clear();
    spill_.reset();
    size_ = 0;
    state_ = HASH_START;
    tail_ = 0;
    tail_size_ = 0;
    clear_failure();
}

std::uint64_t PageBuffer::hash() const { return mix(mix(state_, tail_), size_); }

bool PageBuffer::copy_to(Output& out) {
    if (!spill_) return out.write(memory_.data(), memory_.size());
    ScratchFile& file = *spill_->file;
    if (!file.finish_writing()) return false;
    char block[65536];
    for (std::size_t got; (got = file.read(block, sizeof block)) > 0;)
        if (!out.write(block, got)) return false;
    return !file.read_failed();
}
