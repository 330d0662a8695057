// What every check of a validation shares: the plug-in path, how much work to
// do, and reproducible randomness; plus a plug-in opened the way hosts open
// one.
#pragma once

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <string_view>

#include "hosting/host_callback.h"
#include "hosting/plugin_instance.h"
#include "validation/validate_options.h"

namespace tramvek {

class ValidationContext {
  public:
    explicit ValidationContext(const ValidateOptions& options) : options_(options) {}

    const std::string& plugin() const { return options_.plugin; }
    int strictness() const { return options_.strictness; }

    // An amount that grows with strictness: `atFull` at 10, never below 1.
    int scaled(int atFull) const;
    // Seconds of audio per configuration: 0.25 s at strictness 1 up to 2.5 s,
    // enough at the top for effects that work a bar or two behind.
    double audioSeconds() const { return 0.25 * options_.strictness; }

    // Randomness for one check: the same seed and check give the same values,
    // whatever ran before.
    std::mt19937_64 random(std::string_view checkName) const;

  private:
    ValidateOptions options_;
};

constexpr double kDefaultSampleRate = 44100.0;
constexpr int kDefaultMaxBlock = 512;

// A plug-in opened and started: effOpen, sample rate, block size, resumed. The
// host context lives beside it, at a fixed address the plug-in can reach.
class OpenPlugin {
  public:
    explicit OpenPlugin(const std::string& path, double sampleRate = kDefaultSampleRate,
                        int maxBlock = kDefaultMaxBlock);
    OpenPlugin(const OpenPlugin&) = delete;
    OpenPlugin& operator=(const OpenPlugin&) = delete;

    PluginInstance& plugin() { return plugin_; }
    AEffect& effect() { return plugin_.effect(); }
    HostContext& host() { return host_; }
    double sampleRate() const { return host_.sampleRate; }
    int maxBlock() const { return host_.blockSize; }
    bool hasChunks() const { return plugin_.hasFlag(effFlagsProgramChunks); }

    // Suspends, announces the new rate and largest block, resumes.
    void reconfigure(double sampleRate, int maxBlock);

  private:
    HostContext host_;
    PluginInstance plugin_;
};

std::unique_ptr<OpenPlugin> openPlugin(const ValidationContext& context,
                                       double sampleRate = kDefaultSampleRate,
                                       int maxBlock = kDefaultMaxBlock);

}  // namespace tramvek
