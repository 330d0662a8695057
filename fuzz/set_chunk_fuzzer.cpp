// Feeds arbitrary bank and preset chunks to setChunk, then plays the loaded
// state and saves it again. Byte 0 of the input chooses the form: bit 0 a
// preset instead of a bank, bit 1 edits over a valid frozen bank (so the
// fuzzer reaches the paths behind the size checks) instead of raw bytes;
// bits 4..7 the program selected after loading.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz/fuzz_host.h"

namespace tramvek::fuzz {
namespace {

const std::vector<std::uint8_t>& validFrozenBank() {
    static const std::vector<std::uint8_t> bank = [] {
        auto effect = FuzzHost::makeEffect();
        stateOf(*effect).freeze = true;
        stateOf(*effect).patternSamples = 64;
        for (int i = 0; i < 64; ++i) {
            stateOf(*effect).playBuffers.writable(0)[i] = 0.01f * static_cast<float>(i);
            stateOf(*effect).playBuffers.writable(1)[i] = -0.01f * static_cast<float>(i);
        }
        return FuzzHost::saveBank(*effect);
    }();
    return bank;
}

// Two bytes move the size around the valid size; then every 8 bytes are an
// offset and four bytes written there.
std::vector<std::uint8_t> editedBank(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> bank = validFrozenBank();
    if (size < 2) {
        return bank;
    }
    const std::size_t newSize =
        bank.size() - 1100 + (static_cast<std::size_t>(data[0] | data[1] << 8) % 2200);
    bank.resize(newSize, 0);
    for (std::size_t at = 2; at + 8 <= size; at += 8) {
        std::uint32_t offset = 0;
        std::memcpy(&offset, data + at, 4);
        offset %= static_cast<std::uint32_t>(newSize);
        const std::size_t count = std::min<std::size_t>(4, newSize - offset);
        std::memcpy(bank.data() + offset, data + at + 4, count);
    }
    return bank;
}

bool isMidiNumber(std::int32_t value) {
    return value >= 0 && value <= 127;
}

// What a load must leave behind, whatever the chunk held.
void checkLoadedState(SlicerPlugin& effect) {
    for (const auto& bank : stateOf(effect).steps) {
        for (const auto& lane : bank) {
            for (float value : lane) {
                if (!(value >= 0.0f && value <= 1.0f)) {
                    __builtin_trap();
                }
            }
        }
    }
    for (const StoredProgram& program : stateOf(effect).programs) {
        if (program.patternLength < 2 || program.patternLength > 32) {
            __builtin_trap();
        }
        // Names reach the host's menus: terminated, no control characters.
        const std::size_t nameLength = strnlen(program.name, sizeof program.name);
        if (nameLength == sizeof program.name ||
            std::any_of(program.name, program.name + nameLength,
                        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; })) {
            __builtin_trap();
        }
        for (float value : program.params) {
            if (!std::isfinite(value)) {
                __builtin_trap();
            }
        }
    }
    for (std::int32_t number : stateOf(effect).paramControllers) {
        if (!isMidiNumber(number))
            __builtin_trap();
    }
    for (std::int32_t number : stateOf(effect).patternNotes) {
        if (!isMidiNumber(number))
            __builtin_trap();
    }
    for (std::int32_t number : stateOf(effect).sliceNotes) {
        if (!isMidiNumber(number))
            __builtin_trap();
    }
    if (stateOf(effect).patternSamples < 0 ||
        stateOf(effect).patternSamples >= SlicerEngine::kBufferCapacity) {
        __builtin_trap();
    }
    // A load applies the current program: both must be in range for the audio thread.
    if (stateOf(effect).currentProgram < 0 || stateOf(effect).currentProgram >= SlicerEngine::kProgramCount ||
        stateOf(effect).patternLength < 2 || stateOf(effect).patternLength > SlicerEngine::kStepsPerPattern) {
        __builtin_trap();
    }
}

}  // namespace
}  // namespace tramvek::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tramvek;
    using namespace tramvek::fuzz;
    if (size < 1) {
        return 0;
    }
    const std::uint8_t mode = data[0];
    const bool preset = (mode & 1) != 0;
    std::vector<std::uint8_t> bytes =
        (mode & 2) != 0 ? editedBank(data + 1, size - 1) : std::vector<std::uint8_t>(data + 1, data + size);
    // An exact-size copy, so that reading one byte too far is caught.
    const std::size_t chunkSize = bytes.size();
    auto chunk = std::make_unique<std::uint8_t[]>(chunkSize == 0 ? 1 : chunkSize);
    std::copy(bytes.begin(), bytes.end(), chunk.get());

    SlicerPlugin* effect = &FuzzHost::sharedEffect();
    const VstInt32 answer = effect->setChunk(chunk.get(), static_cast<VstInt32>(chunkSize), preset);
    if (answer != 0 && answer != (preset ? 60 : 73964)) {
        __builtin_trap();
    }
    checkLoadedState(*effect);
    FuzzHost::runBlocks(*effect, 6, 512, 0.37);
    effect->setProgram(mode >> 4);
    FuzzHost::runBlocks(*effect, 4, 512, 0.37);

    void* saved = nullptr;
    const VstInt32 savedSize = effect->getChunk(&saved, false);
    // Whatever we save, we load again.
    if (effect->setChunk(saved, savedSize, false) != 73964) {
        __builtin_trap();
    }
    effect->getChunk(&saved, true);
    return 0;
}
