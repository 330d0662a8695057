#pragma once

// Fixed arrays of starts waiting for their sample (shuffled steps, MIDI
// notes), kept in the order they fall. The audio thread owns them: no
// allocation, and each caller decides what a full array means.

#include <algorithm>
#include <cstdint>

namespace tramvek {

// Puts `start` after every waiting start at or before its sample; the caller
// has checked that there is room.
template <typename Start>
void insertInTimeOrder(Start* starts, std::int32_t& count, const Start& start) {
    std::int32_t i = count++;
    for (; i > 0 && starts[i - 1].at > start.at; --i) {
        starts[i] = starts[i - 1];
    }
    starts[i] = start;
}

// How many of the waiting starts are due at or before `at`.
template <typename Start>
std::int32_t countDueBy(const Start* starts, std::int32_t count, std::int64_t at) {
    std::int32_t due = 0;
    while (due < count && starts[due].at <= at) {
        ++due;
    }
    return due;
}

template <typename Start>
void dropFirst(Start* starts, std::int32_t& count, std::int32_t done) {
    std::copy(starts + done, starts + count, starts);
    count -= done;
}

// Sample positions count from the current block's start: a new block moves them.
template <typename Start>
void moveOnBy(Start* starts, std::int32_t count, std::int64_t frames) {
    for (std::int32_t i = 0; i < count; ++i) {
        starts[i].at -= frames;
    }
}

}  // namespace tramvek
