// Feeds arbitrary bytes to the host's .fxp and .fxb readers. Whatever they
// accept must write out and read back to the same file: reading never invents
// contents the writer cannot reproduce.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "tools/host/formats/fx_file.h"
#include "tools/host/host_error.h"

namespace {

template <typename Parse, typename Serialize>
void checkCanonicalForm(std::span<const std::uint8_t> bytes, Parse parse, Serialize serialize) {
    std::vector<std::uint8_t> written;
    try {
        written = serialize(parse(bytes));
    } catch (const tramvek::HostError&) {
        return;
    }
    if (serialize(parse(written)) != written) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::span<const std::uint8_t> bytes(data, size);
    checkCanonicalForm(bytes, tramvek::parsePresetFile, tramvek::serializePreset);
    checkCanonicalForm(bytes, tramvek::parseBankFile, tramvek::serializeBank);
    return 0;
}
