#include "gui/raster/font_lookup.h"

#include <dlfcn.h>
#include <fontconfig/fontconfig.h>

#include <memory>

namespace tramvek {

namespace {

struct ConfigRelease {
    void operator()(FcConfig* config) const { FcConfigDestroy(config); }
};
struct PatternRelease {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using Config = std::unique_ptr<FcConfig, ConfigRelease>;
using Pattern = std::unique_ptr<FcPattern, PatternRelease>;

std::optional<FontFile> bestMatch(FcConfig* config, const char* family, bool bold, bool italic) {
    const Pattern request(FcPatternCreate());
    FcPatternAddString(request.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddInteger(request.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(request.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(request.get(), FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config, request.get(), FcMatchPattern);
    FcDefaultSubstitute(request.get());
    FcResult result = FcResultNoMatch;
    const Pattern match(FcFontMatch(config, request.get(), &result));
    FcChar8* path = nullptr;
    if (match == nullptr || FcPatternGetString(match.get(), FC_FILE, 0, &path) != FcResultMatch) {
        return std::nullopt;
    }
    int index = 0;
    FcPatternGetInteger(match.get(), FC_INDEX, 0, &index);
    return FontFile{reinterpret_cast<const char*>(path), index};
}

// fontconfig sets up some state once, in its globals. A host that unloads the plug-in would
// unload fontconfig with it and lose that memory on every load, so it stays loaded.
void keepFontconfigLoaded() {
    static const bool kept = [] {
        Dl_info library{};
        return dladdr(reinterpret_cast<void*>(&FcInitLoadConfigAndFonts), &library) != 0 &&
               library.dli_fname != nullptr &&
               dlopen(library.dli_fname, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE) != nullptr;
    }();
    static_cast<void>(kept);
}

}  // namespace

FontFiles findFontFiles(const char* family) {
    keepFontconfigLoaded();
    // A configuration of our own: the host may use fontconfig's default one in its own way.
    const Config config(FcInitLoadConfigAndFonts());
    FontFiles files;
    if (config == nullptr) {
        return files;
    }
    for (size_t style = 0; style < files.size(); ++style) {
        files[style] = bestMatch(config.get(), family, (style & 1u) != 0, (style & 2u) != 0);
    }
    return files;
}

}  // namespace tramvek
