// Preset and bank files: written files read back to the same contents, the
// layout matches the published one field by field, and files that are cut
// short, mislabelled or meant for another plug-in are refused.
#include <gtest/gtest.h>

#include <cstring>

#include "formats/byte_order.h"
#include "formats/fx_file.h"
#include "formats/fx_plugin_state.h"
#include "host_error.h"

namespace tramvek {
namespace {

constexpr VstInt32 kId = fourCharCode('T', 'e', 's', 't');

FxPreset parameterPreset(const std::string& name, std::vector<float> values) {
    FxPreset preset;
    preset.pluginId = kId;
    preset.pluginVersion = 7;
    preset.numParams = static_cast<VstInt32>(values.size());
    preset.name = name;
    preset.parameters = std::move(values);
    return preset;
}

FxPreset chunkPreset() {
    FxPreset preset;
    preset.pluginId = kId;
    preset.pluginVersion = 3;
    preset.numParams = 8;
    preset.name = "Chunky";
    preset.opaque = true;
    preset.chunk = {1, 2, 3, 0, 255, 9};
    return preset;
}

void expectSamePreset(const FxPreset& a, const FxPreset& b) {
    EXPECT_EQ(a.pluginId, b.pluginId);
    EXPECT_EQ(a.pluginVersion, b.pluginVersion);
    EXPECT_EQ(a.numParams, b.numParams);
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.opaque, b.opaque);
    EXPECT_EQ(a.parameters, b.parameters);
    EXPECT_EQ(a.chunk, b.chunk);
}

std::string field(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    return std::string(reinterpret_cast<const char*>(&bytes[offset]), 4);
}

TEST(FxFile, PresetsRoundTripInBothForms) {
    FxPreset params = parameterPreset("Lead", {0.0f, 0.5f, 1.0f, 0.123f});
    expectSamePreset(parsePresetFile(serializePreset(params)), params);
    FxPreset chunk = chunkPreset();
    expectSamePreset(parsePresetFile(serializePreset(chunk)), chunk);
    // Writing what was read gives the same bytes.
    std::vector<std::uint8_t> bytes = serializePreset(chunk);
    EXPECT_EQ(serializePreset(parsePresetFile(bytes)), bytes);
}

TEST(FxFile, PresetLayoutIsBigEndianWithTheSizeOfWhatFollows) {
    std::vector<std::uint8_t> bytes = serializePreset(parameterPreset("Lead", {0.5f, 1.0f}));
    ASSERT_EQ(bytes.size(), 56u + 8u);
    EXPECT_EQ(field(bytes, 0), "CcnK");
    EXPECT_EQ(readU32Be(&bytes[4]), bytes.size() - 8);
    EXPECT_EQ(field(bytes, 8), "FxCk");
    EXPECT_EQ(readI32Be(&bytes[12]), 1);
    EXPECT_EQ(field(bytes, 16), "Test");
    EXPECT_EQ(readI32Be(&bytes[20]), 7);
    EXPECT_EQ(readI32Be(&bytes[24]), 2);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[28])), "Lead");
    EXPECT_EQ(readF32Be(&bytes[56]), 0.5f);
    EXPECT_EQ(readU32Be(&bytes[60]), 0x3F800000u);

    std::vector<std::uint8_t> chunk = serializePreset(chunkPreset());
    EXPECT_EQ(field(chunk, 8), "FPCh");
    EXPECT_EQ(readI32Be(&chunk[24]), 8);
    EXPECT_EQ(readI32Be(&chunk[56]), 6);
    EXPECT_EQ(chunk[60 + 4], 255);
}

TEST(FxFile, LongNamesAreCutToFitTheTerminatedField) {
    FxPreset preset = parameterPreset(std::string(40, 'x'), {0.25f});
    EXPECT_EQ(parsePresetFile(serializePreset(preset)).name, std::string(27, 'x'));
}

TEST(FxFile, BanksRoundTripAndCarryTheCurrentProgram) {
    FxBank bank;
    bank.pluginId = kId;
    bank.pluginVersion = 2;
    bank.numPrograms = 3;
    bank.currentProgram = 2;
    for (int i = 0; i < 3; ++i) {
        bank.programs.push_back(
            parameterPreset("P" + std::to_string(i), {0.1f * static_cast<float>(i), 0.9f}));
    }
    std::vector<std::uint8_t> bytes = serializeBank(bank);
    EXPECT_EQ(field(bytes, 0), "CcnK");
    EXPECT_EQ(field(bytes, 8), "FxBk");
    EXPECT_EQ(readI32Be(&bytes[12]), 2);
    EXPECT_EQ(readI32Be(&bytes[24]), 3);
    EXPECT_EQ(readI32Be(&bytes[28]), 2);
    EXPECT_EQ(field(bytes, 156), "CcnK");  // first program after the 156-byte header
    EXPECT_EQ(readU32Be(&bytes[4]), bytes.size() - 8);
    FxBank back = parseBankFile(bytes);
    EXPECT_EQ(back.currentProgram, 2);
    ASSERT_EQ(back.programs.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        expectSamePreset(back.programs[static_cast<std::size_t>(i)],
                         bank.programs[static_cast<std::size_t>(i)]);
    }
    EXPECT_EQ(serializeBank(back), bytes);

    FxBank opaque;
    opaque.pluginId = kId;
    opaque.numPrograms = 16;
    opaque.opaque = true;
    opaque.chunk.assign(75000, 0x5A);
    std::vector<std::uint8_t> chunkBytes = serializeBank(opaque);
    EXPECT_EQ(field(chunkBytes, 8), "FBCh");
    EXPECT_EQ(readI32Be(&chunkBytes[156]), 75000);
    EXPECT_EQ(serializeBank(parseBankFile(chunkBytes)), chunkBytes);
}

TEST(FxFile, VersionOneBanksHaveNoCurrentProgram) {
    std::vector<std::uint8_t> bytes(156 + 4 + 3, 0);
    std::memcpy(&bytes[0], "CcnK", 4);
    std::memcpy(&bytes[8], "FBCh", 4);
    storeU32Be(&bytes[12], 1);
    std::memcpy(&bytes[16], "Test", 4);
    storeU32Be(&bytes[24], 16);
    storeU32Be(&bytes[28], 9);  // reserved in version 1, not a program number
    storeU32Be(&bytes[156], 3);
    FxBank bank = parseBankFile(bytes);
    EXPECT_EQ(bank.formatVersion, 1);
    EXPECT_EQ(bank.currentProgram, 0);
    EXPECT_EQ(bank.chunk.size(), 3u);
}

TEST(FxFile, EveryTruncationIsRefused) {
    FxBank bank;
    bank.pluginId = kId;
    bank.numPrograms = 2;
    bank.programs = {parameterPreset("A", {0.5f, 0.25f}), parameterPreset("B", {1.0f, 0.0f})};
    std::vector<std::uint8_t> bankBytes = serializeBank(bank);
    for (std::size_t length = 0; length < bankBytes.size(); ++length) {
        std::vector<std::uint8_t> cut(bankBytes.begin(),
                                      bankBytes.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_THROW(parseBankFile(cut), HostError) << length;
    }
    std::vector<std::uint8_t> presetBytes = serializePreset(chunkPreset());
    for (std::size_t length = 0; length < presetBytes.size(); ++length) {
        std::vector<std::uint8_t> cut(presetBytes.begin(),
                                      presetBytes.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_THROW(parsePresetFile(cut), HostError) << length;
    }
}

std::string reasonFor(const std::vector<std::uint8_t>& bytes, bool bank) {
    try {
        bank ? static_cast<void>(parseBankFile(bytes)) : static_cast<void>(parsePresetFile(bytes));
    } catch (const HostError& e) {
        return e.what();
    }
    return "accepted";
}

TEST(FxFile, MislabelledAndHostileFilesAreRefusedWithTheirReason) {
    std::vector<std::uint8_t> preset = serializePreset(chunkPreset());
    FxBank bankRecord;
    bankRecord.pluginId = kId;
    bankRecord.opaque = true;
    bankRecord.chunk = {1};
    std::vector<std::uint8_t> bank = serializeBank(bankRecord);
    EXPECT_NE(reasonFor(bank, false).find("a bank"), std::string::npos);
    EXPECT_NE(reasonFor(preset, true).find("a preset"), std::string::npos);

    std::vector<std::uint8_t> noHeader = preset;
    std::memcpy(&noHeader[0], "RIFF", 4);
    EXPECT_NE(reasonFor(noHeader, false).find("CcnK"), std::string::npos);
    std::vector<std::uint8_t> unknown = preset;
    std::memcpy(&unknown[8], "FxZz", 4);
    EXPECT_NE(reasonFor(unknown, false).find("unknown format"), std::string::npos);

    std::vector<std::uint8_t> negative = preset;
    storeU32Be(&negative[56], 0xFFFFFFF0u);
    EXPECT_NE(reasonFor(negative, false).find("negative"), std::string::npos);
    // Counts far beyond the file are refused before anything is allocated.
    std::vector<std::uint8_t> huge = serializeBank([] {
        FxBank b;
        b.pluginId = kId;
        b.programs = {parameterPreset("A", {0.5f})};
        return b;
    }());
    storeU32Be(&huge[24], 0x7FFFFFFF);
    EXPECT_NE(reasonFor(huge, true).find("truncated"), std::string::npos);
    std::vector<std::uint8_t> manyParams = serializePreset(parameterPreset("A", {0.5f}));
    storeU32Be(&manyParams[24], 0x7FFFFFFF);
    EXPECT_NE(reasonFor(manyParams, false).find("truncated"), std::string::npos);

    // A parameter bank whose program is a chunk, or another plug-in's program.
    FxBank mixed;
    mixed.pluginId = kId;
    mixed.programs = {chunkPreset()};
    EXPECT_NE(reasonFor(serializeBank(mixed), true).find("is a chunk"), std::string::npos);
    FxBank foreign;
    foreign.pluginId = kId;
    foreign.programs = {parameterPreset("A", {0.5f})};
    foreign.programs[0].pluginId = fourCharCode('O', 't', 'h', 'r');
    EXPECT_NE(reasonFor(serializeBank(foreign), true).find("another plug-in"), std::string::npos);
}

AEffect pluginRecord(VstInt32 id, VstInt32 flags, VstInt32 programs, VstInt32 params) {
    AEffect effect{};
    effect.magic = kEffectMagic;
    effect.uniqueID = id;
    effect.flags = flags;
    effect.numPrograms = programs;
    effect.numParams = params;
    return effect;
}

TEST(FxFile, FilesMustFitThePluginTheyAreLoadedInto) {
    AEffect chunkPlugin = pluginRecord(kId, effFlagsProgramChunks, 16, 8);
    AEffect paramPlugin = pluginRecord(kId, 0, 4, 2);
    EXPECT_NO_THROW(checkPresetFitsPlugin(chunkPreset(), chunkPlugin));
    EXPECT_THROW(
        checkPresetFitsPlugin(chunkPreset(), pluginRecord(fourCharCode('Q', 'X', 'T', 'V'), 32, 16, 8)),
        HostError);
    EXPECT_THROW(checkPresetFitsPlugin(chunkPreset(), paramPlugin), HostError);
    EXPECT_NO_THROW(checkPresetFitsPlugin(parameterPreset("A", {0.1f, 0.2f}), paramPlugin));
    EXPECT_THROW(checkPresetFitsPlugin(parameterPreset("A", {0.1f}), paramPlugin), HostError);

    FxBank bank;
    bank.pluginId = kId;
    bank.numPrograms = 5;
    for (int i = 0; i < 5; ++i) {
        bank.programs.push_back(parameterPreset("P", {0.1f, 0.2f}));
    }
    EXPECT_THROW(checkBankFitsPlugin(bank, paramPlugin), HostError);  // 5 programs into 4
    bank.numPrograms = 4;
    bank.programs.pop_back();
    EXPECT_NO_THROW(checkBankFitsPlugin(bank, paramPlugin));
}

}  // namespace
}  // namespace tramvek
