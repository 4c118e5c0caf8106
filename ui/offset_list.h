#pragma once
// A growing list of offsets into a text (line starts, row numbers) held in
// 4 bytes each while every value fits, and in 8 bytes each from the first
// one that does not: a device log of tens of MB keeps a line index half the
// size of one of std::size_t, and a text past 4 GiB still works.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <vector>

class TOffsetList {
public:
    TOffsetList(std::initializer_list<std::size_t> values) { Assign(values); }

    // Replaces the contents and gives the memory held beyond them back.
    void Assign(std::initializer_list<std::size_t> values) {
        std::vector<std::uint32_t>().swap(narrow_);
        std::vector<std::uint64_t>().swap(wide_);
        wide_mode_ = false;
        for (const std::size_t value : values) {
            push_back(value);
        }
    }

    std::size_t size() const { return wide_mode_ ? wide_.size() : narrow_.size(); }
    std::size_t operator[](std::size_t index) const {
        return wide_mode_ ? static_cast<std::size_t>(wide_[index]) : narrow_[index];
    }
    std::size_t back() const { return (*this)[size() - 1]; }

    void push_back(std::size_t value) {
        if (!wide_mode_ && value > std::numeric_limits<std::uint32_t>::max()) {
            Widen();
        }
        if (wide_mode_) {
            wide_.push_back(value);
        } else {
            narrow_.push_back(static_cast<std::uint32_t>(value));
        }
    }
    // Drops the entries from `count` on (the list only ever shrinks this way).
    void Truncate(std::size_t count) {
        if (wide_mode_) {
            wide_.resize(std::min(count, wide_.size()));
        } else {
            narrow_.resize(std::min(count, narrow_.size()));
        }
    }
    void reserve(std::size_t count) {
        if (wide_mode_) {
            wide_.reserve(count);
        } else {
            narrow_.reserve(count);
        }
    }

    // The index of the last entry not above value, in a list sorted
    // ascending whose first entry is not above value.
    std::size_t LastNotAbove(std::size_t value) const {
        if (wide_mode_) {
            return static_cast<std::size_t>(std::upper_bound(wide_.begin(), wide_.end(), value) -
                                            wide_.begin()) -
                   1;
        }
        if (value > std::numeric_limits<std::uint32_t>::max()) {
            return narrow_.size() - 1;
        }
        return static_cast<std::size_t>(std::upper_bound(narrow_.begin(), narrow_.end(),
                                                         static_cast<std::uint32_t>(value)) -
                                        narrow_.begin()) -
               1;
    }

    std::size_t HeldBytes() const {
        return narrow_.capacity() * sizeof(std::uint32_t) +
               wide_.capacity() * sizeof(std::uint64_t);
    }
    bool Wide() const { return wide_mode_; }

private:
    void Widen() {
        wide_.assign(narrow_.begin(), narrow_.end());
        std::vector<std::uint32_t>().swap(narrow_);
        wide_mode_ = true;
    }

    bool wide_mode_ = false;
    std::vector<std::uint32_t> narrow_;
    std::vector<std::uint64_t> wide_;
};
