#include "formats/fx_file.h"

#include <algorithm>
#include <cstring>

#include "formats/byte_order.h"
#include "host_error.h"

namespace tramvek {
namespace {

constexpr VstInt32 kChunkMagic = fourCharCode('C', 'c', 'n', 'K');
constexpr VstInt32 kPresetParams = fourCharCode('F', 'x', 'C', 'k');
constexpr VstInt32 kPresetChunk = fourCharCode('F', 'P', 'C', 'h');
constexpr VstInt32 kBankParams = fourCharCode('F', 'x', 'B', 'k');
constexpr VstInt32 kBankChunk = fourCharCode('F', 'B', 'C', 'h');
constexpr std::size_t kPresetHeaderSize = 28 + kFxNameSize;
constexpr std::size_t kBankHeaderSize = 28 + 128;
constexpr std::size_t kBankCurrentProgramOffset = 28;
constexpr VstInt32 kPresetFormatVersion = 1;

// Bounds-checked big-endian reads over the file's bytes.
class Reader {
  public:
    Reader(std::span<const std::uint8_t> bytes, std::size_t position) : bytes_(bytes), position_(position) {}

    std::size_t position() const { return position_; }
    std::size_t remaining() const { return bytes_.size() - position_; }

    void need(std::size_t count) const {
        if (count > remaining()) {
            throw HostError("truncated file (it ends at byte " + std::to_string(bytes_.size()) + ")");
        }
    }
    // Room for `count` items of `size` bytes, without overflowing the product.
    void needItems(std::size_t count, std::size_t size) const {
        if (count > remaining() / size) {
            need(remaining() + 1);
        }
    }
    VstInt32 i32() {
        need(4);
        VstInt32 v = readI32Be(&bytes_[position_]);
        position_ += 4;
        return v;
    }
    float f32() {
        need(4);
        float v = readF32Be(&bytes_[position_]);
        position_ += 4;
        return v;
    }
    std::string name() {
        need(kFxNameSize);
        const auto* start = reinterpret_cast<const char*>(&bytes_[position_]);
        position_ += kFxNameSize;
        return std::string(start, std::find(start, start + kFxNameSize, '\0'));
    }
    std::vector<std::uint8_t> bytes(std::size_t count) {
        need(count);
        auto first = bytes_.begin() + static_cast<std::ptrdiff_t>(position_);
        position_ += count;
        return {first, first + static_cast<std::ptrdiff_t>(count)};
    }
    void skip(std::size_t count) {
        need(count);
        position_ += count;
    }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_;
};

std::string magicText(VstInt32 magic) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        char c = static_cast<char>((static_cast<std::uint32_t>(magic) >> shift) & 0xFF);
        text += c >= 0x20 && c <= 0x7E ? c : '?';
    }
    return "'" + text + "'";
}

// The common start: 'CcnK', the size (not trusted) and the format magic.
VstInt32 readFormatMagic(Reader& reader) {
    reader.need(12);
    if (reader.i32() != kChunkMagic) {
        throw HostError("not a VST preset or bank file (no 'CcnK' header)");
    }
    reader.i32();
    return reader.i32();
}

std::size_t checkedCount(VstInt32 count, const char* what) {
    if (count < 0) {
        throw HostError(std::string("negative ") + what + " in the file");
    }
    return static_cast<std::size_t>(count);
}

std::vector<std::uint8_t> readChunk(Reader& reader) {
    std::size_t size = checkedCount(reader.i32(), "chunk size");
    return reader.bytes(size);
}

FxPreset readPreset(Reader& reader) {
    VstInt32 magic = readFormatMagic(reader);
    if (magic == kBankParams || magic == kBankChunk) {
        throw HostError("mislabelled file: a bank (" + magicText(magic) + ") where a preset was expected");
    }
    if (magic != kPresetParams && magic != kPresetChunk) {
        throw HostError("mislabelled file: unknown format " + magicText(magic));
    }
    FxPreset preset;
    preset.opaque = magic == kPresetChunk;
    reader.i32();  // format version
    preset.pluginId = reader.i32();
    preset.pluginVersion = reader.i32();
    preset.numParams = reader.i32();
    preset.name = reader.name();
    if (preset.opaque) {
        preset.chunk = readChunk(reader);
        return preset;
    }
    std::size_t count = checkedCount(preset.numParams, "parameter count");
    reader.needItems(count, 4);
    for (std::size_t i = 0; i < count; ++i) {
        preset.parameters.push_back(reader.f32());
    }
    return preset;
}

void appendName(std::vector<std::uint8_t>& out, const std::string& name) {
    std::size_t length = std::min(name.size(), kFxNameSize - 1);
    out.insert(out.end(), name.begin(), name.begin() + static_cast<std::ptrdiff_t>(length));
    out.resize(out.size() + kFxNameSize - length, 0);
}

void appendChunk(std::vector<std::uint8_t>& out, const std::vector<std::uint8_t>& chunk) {
    appendI32Be(out, static_cast<VstInt32>(chunk.size()));
    out.insert(out.end(), chunk.begin(), chunk.end());
}

// The size field counts every byte after itself.
void finishSize(std::vector<std::uint8_t>& out, std::size_t start) {
    storeU32Be(&out[start + 4], static_cast<std::uint32_t>(out.size() - start - 8));
}

void appendPreset(std::vector<std::uint8_t>& out, const FxPreset& preset) {
    std::size_t start = out.size();
    appendI32Be(out, kChunkMagic);
    appendI32Be(out, 0);
    appendI32Be(out, preset.opaque ? kPresetChunk : kPresetParams);
    appendI32Be(out, kPresetFormatVersion);
    appendI32Be(out, preset.pluginId);
    appendI32Be(out, preset.pluginVersion);
    appendI32Be(out, preset.opaque ? preset.numParams : static_cast<VstInt32>(preset.parameters.size()));
    appendName(out, preset.name);
    if (preset.opaque) {
        appendChunk(out, preset.chunk);
    } else {
        for (float value : preset.parameters) {
            appendF32Be(out, value);
        }
    }
    finishSize(out, start);
}

}  // namespace

FxPreset parsePresetFile(std::span<const std::uint8_t> bytes) {
    Reader reader(bytes, 0);
    reader.need(kPresetHeaderSize);
    return readPreset(reader);
}

FxBank parseBankFile(std::span<const std::uint8_t> bytes) {
    Reader reader(bytes, 0);
    VstInt32 magic = readFormatMagic(reader);
    if (magic == kPresetParams || magic == kPresetChunk) {
        throw HostError("mislabelled file: a preset (" + magicText(magic) + ") where a bank was expected");
    }
    if (magic != kBankParams && magic != kBankChunk) {
        throw HostError("mislabelled file: unknown format " + magicText(magic));
    }
    reader.need(kBankHeaderSize - 12);
    FxBank bank;
    bank.opaque = magic == kBankChunk;
    bank.formatVersion = reader.i32();
    bank.pluginId = reader.i32();
    bank.pluginVersion = reader.i32();
    bank.numPrograms = reader.i32();
    std::size_t programCount = checkedCount(bank.numPrograms, "program count");
    bank.currentProgram = bank.formatVersion >= 2 ? reader.i32() : 0;
    reader.skip(kBankHeaderSize - reader.position());
    if (bank.opaque) {
        bank.chunk = readChunk(reader);
        return bank;
    }
    // Each program needs at least its header: this bounds the count by the size.
    reader.needItems(programCount, kPresetHeaderSize);
    for (std::size_t i = 0; i < programCount; ++i) {
        FxPreset program = readPreset(reader);
        if (program.opaque) {
            throw HostError("mislabelled file: program " + std::to_string(i) +
                            " of a parameter bank is a chunk");
        }
        if (program.pluginId != bank.pluginId) {
            throw HostError("mislabelled file: program " + std::to_string(i) + " belongs to another plug-in");
        }
        bank.programs.push_back(std::move(program));
    }
    return bank;
}

std::vector<std::uint8_t> serializePreset(const FxPreset& preset) {
    std::vector<std::uint8_t> out;
    appendPreset(out, preset);
    return out;
}

std::vector<std::uint8_t> serializeBank(const FxBank& bank) {
    std::vector<std::uint8_t> out;
    appendI32Be(out, kChunkMagic);
    appendI32Be(out, 0);
    appendI32Be(out, bank.opaque ? kBankChunk : kBankParams);
    appendI32Be(out, bank.formatVersion);
    appendI32Be(out, bank.pluginId);
    appendI32Be(out, bank.pluginVersion);
    appendI32Be(out, bank.opaque ? bank.numPrograms : static_cast<VstInt32>(bank.programs.size()));
    out.resize(kBankHeaderSize, 0);
    if (bank.formatVersion >= 2) {
        storeU32Be(&out[kBankCurrentProgramOffset], static_cast<std::uint32_t>(bank.currentProgram));
    }
    if (bank.opaque) {
        appendChunk(out, bank.chunk);
    } else {
        for (const FxPreset& program : bank.programs) {
            appendPreset(out, program);
        }
    }
    finishSize(out, 0);
    return out;
}

}  // namespace tramvek
