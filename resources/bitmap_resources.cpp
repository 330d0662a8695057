#include "bitmap_resources.h"

// The committed bitmap files are linked in unchanged; the paths come from the build.
#define TRAMVEK_EMBED_FILE(symbol, path)                                                          \
    __asm__(".pushsection .rodata\n.balign 4\n.hidden " #symbol "\n" #symbol ":\n.incbin \"" path \
            "\"\n.hidden " #symbol "_end\n" #symbol "_end:\n.popsection\n")

TRAMVEK_EMBED_FILE(tramvek_background_bmp, TRAMVEK_BACKGROUND_BMP);
TRAMVEK_EMBED_FILE(tramvek_help_bmp, TRAMVEK_HELP_BMP);

extern "C" {
extern const std::uint8_t tramvek_background_bmp[];
extern const std::uint8_t tramvek_background_bmp_end[];
extern const std::uint8_t tramvek_help_bmp[];
extern const std::uint8_t tramvek_help_bmp_end[];
}

namespace tramvek {

std::span<const std::uint8_t> bitmapResourceBytes(int id) {
    switch (id) {
        case 128:
            return {tramvek_background_bmp, tramvek_background_bmp_end};
        case 133:
            return {tramvek_help_bmp, tramvek_help_bmp_end};
        default:
            return {};
    }
}

}  // namespace tramvek
