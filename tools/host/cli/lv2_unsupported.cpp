// Builds without lilv (Windows, or Linux without liblilv-dev) host VST 2 only.
#include "cli/info_lv2.h"
#include "cli/render_lv2.h"
#include "host_error.h"

namespace tramvek {
namespace {

[[noreturn]] void refuse(const std::string& plugin) {
    throw HostError(plugin + " names an LV2 plug-in; this build of the host has no LV2 hosting");
}

}  // namespace

void renderLv2(const RenderJob& job) {
    refuse(job.options.plugin);
}

void runLv2Info(const InfoOptions& options, std::ostream& /*out*/) {
    refuse(options.plugin);
}

}  // namespace tramvek
