#include "page_writer.h"

#include <algorithm>
#include <cstring>

namespace {

// Writes the digits of value at `at`; returns how many.
int put_digits(char* at, unsigned long long value) {
    char reversed[24];
    int n = 0;
    do {
        reversed[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    for (int k = 0; k < n; ++k) at[k] = reversed[n - 1 - k];
    return n;
}

unsigned long long magnitude(long long value) {
    return value < 0 ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
}

}  // namespace

void HtmlWriter::gather(const char* data, std::size_t size) {
    if (used_ + size > sizeof buffer_) flush();
    if (size >= sizeof buffer_) {
        out_.write(data, size);
        return;
    }
    std::memcpy(buffer_ + used_, data, size);
    used_ += size;
}

void HtmlWriter::flush() {
    if (used_ > 0) out_.write(buffer_, used_);
    used_ = 0;
}

HtmlWriter& HtmlWriter::put(std::initializer_list<Piece> pieces) {
    for (const Piece& piece : pieces) {
        char number[32];
        int k = 0;
        switch (piece.kind_) {
            case Piece::Kind::Text:
                if (piece.text_ != nullptr)
                    gather(piece.text_->c_str(), piece.text_->size());
                else if (piece.markup_ != nullptr)
                    gather(piece.markup_, piece.size_);
                break;
            case Piece::Kind::Number:
                if (piece.number_ < 0) number[k++] = '-';
                k += put_digits(number + k, magnitude(piece.number_));
                gather(number, static_cast<std::size_t>(k));
                break;
            case Piece::Kind::Tenths:
                if (piece.number_ < 0) number[k++] = '-';
                k += put_digits(number + k, magnitude(piece.number_) / 10);
                number[k++] = '.';
                number[k++] = static_cast<char>('0' + magnitude(piece.number_) % 10);
                gather(number, static_cast<std::size_t>(k));
                break;
        }
    }
    flush();
    return *this;
}

bool HtmlWriter::put_part(ScratchFile& part) {
    char chunk[32768];
    std::size_t got = 0;
    while ((got = part.read(chunk, sizeof chunk)) > 0)
        if (!out_.write(chunk, got)) return false;
    return !part.read_failed();
}

void PathWriter::to(char command, int tenths_position) {
    if (used_ + 20 > sizeof buffer_) flush();
    buffer_[used_++] = command;
    used_ += static_cast<std::size_t>(
        put_digits(buffer_ + used_, static_cast<unsigned>(std::max(tenths_position, 0) + 5) / 10));
}

void PathWriter::flush() {
    out_.write(buffer_, used_);
    used_ = 0;
}
