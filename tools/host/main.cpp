// tramvek-host: a command-line VST 2 host.
#include <CLI/CLI.hpp>
#include <iostream>

#include "host_error.h"
#include "info_command.h"
#include "render_command.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

struct RenderArguments {
    tramvek::RenderOptions options;
    std::vector<std::string> parameters;
    double sampleRate = 0.0;
};

CLI::App* addInfoCommand(CLI::App& app, tramvek::InfoOptions& info) {
    CLI::App* command = app.add_subcommand("info", "print what a plug-in declares");
    command->add_option("PLUGIN", info.plugin, "plug-in library")->required();
    command->add_flag("--json", info.json, "print JSON");
    return command;
}

CLI::App* addRenderCommand(CLI::App& app, RenderArguments& render) {
    tramvek::RenderOptions& o = render.options;
    CLI::App* command =
        app.add_subcommand("render", "stream audio through a plug-in into a 32-bit float WAV file");
    command->add_option("PLUGIN", o.plugin, "plug-in library")->required();
    command->add_option("-i,--input", o.input,
                        "input audio file, or 'demo' for the built-in drum loop (default)");
    command->add_option("-o,--output", o.output, "output WAV file")->required();
    command->add_option("--tempo", o.tempo, "tempo in BPM (default 120)");
    command->add_option("--sample-rate", render.sampleRate,
                        "sample rate in Hz (default: the input's, or 44100)");
    command
        ->add_option("--block", o.blockSizes,
                     "block size, or sizes to cycle through: N[,N2,...] (default 512)")
        ->delimiter(',');
    command->add_option("--ppq-start", o.ppqStart, "musical position of the first sample, in quarter notes");
    command->add_option("--program", o.program, "program to select (default 0)");
    command->add_option("--param", render.parameters, "set parameter INDEX to VALUE (0..1), in order: I=V")
        ->take_all();
    command->add_option("--tail", o.tailSeconds, "seconds rendered after the input ends (default 0)");
    return command;
}

void finishRenderOptions(RenderArguments& render) {
    for (const std::string& text : render.parameters) {
        render.options.parameters.push_back(tramvek::parseParameterSetting(text));
    }
    if (render.sampleRate != 0.0) {
        render.options.sampleRate = render.sampleRate;
    }
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"tramvek-host: load VST 2 plug-ins and drive them from the command line"};
    app.require_subcommand(1);
    tramvek::InfoOptions info;
    RenderArguments render;
    CLI::App* infoCommand = addInfoCommand(app, info);
    CLI::App* renderCommand = addRenderCommand(app, render);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::cerr << "tramvek-host: " << e.what() << " (try --help)\n";
        return kExitUsage;
    }

    try {
        if (infoCommand->parsed()) {
            tramvek::runInfo(info, std::cout);
        } else if (renderCommand->parsed()) {
            finishRenderOptions(render);
            tramvek::runRender(render.options);
        }
    } catch (const std::exception& e) {
        std::cerr << "tramvek-host: " << e.what() << "\n";
        return kExitFailure;
    }
    return 0;
}
