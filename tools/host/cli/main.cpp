// tramvek-host: a command-line VST 2 host (and LV2 through lilv).
#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/editor_cli.h"
#include "cli/info_command.h"
#include "cli/render_command.h"
#include "cli/state_command.h"
#include "cli/validate_cli.h"
#include "host_error.h"
#include "validation/validate_command.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

struct RenderArguments {
    tramvek::RenderOptions options;
    std::vector<std::string> parameters;
    double sampleRate = 0.0;
};

struct StateArguments {
    tramvek::StateOptions options;
    std::vector<std::string> parameters;
};

// The options `render` and `state` share: program, parameters, presets, banks.
void addSetupOptions(CLI::App* command, tramvek::PluginSetup& setup, std::vector<std::string>& parameters) {
    command->add_option("--program", setup.program, "program to select, after a bank is loaded (default 0)");
    command->add_option("--param", parameters, "set parameter INDEX to VALUE (0..1), in order: I=V")
        ->take_all();
    command->add_option("--preset", setup.preset, "load a preset file (.fxp) into the selected program");
    command->add_option("--bank", setup.bank, "load a bank file (.fxb)");
    command->add_option(
        "--steps", setup.stepSheet,
        "write a step sheet (one 'FROM fwd|rev PITCH GAIN% LENGTH% [CHANCE% [REPEAT]]' per step) into "
        "the pattern");
    command->add_option("--save-preset", setup.savePreset,
                        "save the current program as a preset file (.fxp)");
    command->add_option("--save-bank", setup.saveBank, "save all programs as a bank file (.fxb)");
}

void parseParameters(const std::vector<std::string>& texts, tramvek::PluginSetup& setup) {
    for (const std::string& text : texts) {
        setup.parameters.push_back(tramvek::parseParameterSetting(text));
    }
}

CLI::App* addInfoCommand(CLI::App& app, tramvek::InfoOptions& info) {
    CLI::App* command = app.add_subcommand("info", "print what a plug-in declares");
    command->add_option("PLUGIN", info.plugin, "plug-in library, or an LV2 bundle directory or plug-in URI")
        ->required();
    command->add_flag("--json", info.json, "print JSON");
    return command;
}

CLI::App* addRenderCommand(CLI::App& app, RenderArguments& render) {
    tramvek::RenderOptions& o = render.options;
    CLI::App* command =
        app.add_subcommand("render", "stream audio through a plug-in into a 32-bit float WAV file");
    command->add_option("PLUGIN", o.plugin, "plug-in library, or an LV2 bundle directory or plug-in URI")
        ->required();
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
    command->add_option("--tail", o.tailSeconds, "seconds rendered after the input ends (default 0)");
    command->add_option("--midi", o.midi, "standard MIDI file (type 0 or 1) played to the plug-in");
    addSetupOptions(command, o.setup, render.parameters);
    command->add_option("--lv2-state", o.lv2State,
                        "LV2: load a state directory (as --save-lv2-state writes)");
    command->add_option("--save-lv2-state", o.saveLv2State,
                        "LV2: save the state after the render into a directory");
    return command;
}

CLI::App* addStateCommand(CLI::App& app, StateArguments& state) {
    CLI::App* command =
        app.add_subcommand("state", "load and save presets and banks, and show the resulting program");
    command->add_option("PLUGIN", state.options.plugin, "plug-in library")->required();
    addSetupOptions(command, state.options.setup, state.parameters);
    command->add_option("--freeze-audio", state.options.freezeAudio,
                        "put a WAV file's first pattern into the frozen buffer (freeze on)");
    command->add_option("--export-frozen", state.options.exportFrozen,
                        "write the frozen buffer as a 32-bit float WAV file (44100 Hz)");
    return command;
}

void finishRenderOptions(RenderArguments& render) {
    parseParameters(render.parameters, render.options.setup);
    if (render.sampleRate != 0.0) {
        render.options.sampleRate = render.sampleRate;
    }
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"tramvek-host: load VST 2 and LV2 plug-ins and drive them from the command line"};
    app.require_subcommand(1);
    // Unix paths (under Wine) start with '/': never read them as Windows-style options.
    app.allow_windows_style_options(false);
    tramvek::InfoOptions info;
    RenderArguments render;
    StateArguments state;
    CLI::App* infoCommand = addInfoCommand(app, info);
    CLI::App* renderCommand = addRenderCommand(app, render);
    CLI::App* stateCommand = addStateCommand(app, state);
    tramvek::ValidateOptions validate;
    CLI::App* validateCommand = tramvek::addValidateCommand(app, validate);
    tramvek::EditorCommands editorCommands(app);

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
        } else if (stateCommand->parsed()) {
            parseParameters(state.parameters, state.options.setup);
            tramvek::runState(state.options, std::cout);
        } else if (validateCommand->parsed()) {
            return tramvek::runValidate(validate, std::cout) ? 0 : kExitFailure;
        } else if (editorCommands.parsed()) {
            return editorCommands.run();
        }
    } catch (const std::exception& e) {
        std::cerr << "tramvek-host: " << e.what() << "\n";
        return kExitFailure;
    }
    return 0;
}
