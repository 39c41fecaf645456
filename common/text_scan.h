// The two loops that run over every byte of a session: the substring search
// of the passes and the filter that turns 16-bit logs into text.
#pragma once

#include <cstddef>

// The first position of needle in haystack, or nullptr. On x86-64 it tests
// sixteen positions at a time.
const char* find_text(const char* haystack, std::size_t haystack_size, const char* needle, std::size_t needle_size);

// Drops every zero and carriage-return byte of data[0..count), packing the
// others down in place, and returns how many stayed. This turns the game's
// 16-bit logs into text while they are read, so it runs at memory speed:
// thirty-two bytes at a time where the processor has AVX2, else sixteen.
std::size_t drop_zero_and_cr(char* data, std::size_t count);

// The two ways of drop_zero_and_cr, for the tests; the second only where
// cpu_has_avx2().
std::size_t drop_zero_and_cr_16(char* data, std::size_t count);
std::size_t drop_zero_and_cr_32(char* data, std::size_t count);
bool cpu_has_avx2();
