// tramvek-waveforms: draws the input and the output of a render one above the
// other on the step grid (the main job's out/demo.png).
#include <CLI/CLI.hpp>
#include <iostream>

#include "formats/audio_input.h"
#include "formats/demo_loop.h"
#include "formats/step_sheet.h"
#include "gui/raster/png_writer.h"
#include "host_error.h"
#include "waveforms/waveform_picture.h"

namespace {

constexpr int kExitFailure = 1;

struct Arguments {
    std::string input = "demo";
    std::string output;
    std::string picture;
    std::string stepSheet;
    tramvek::StepGrid grid;
};

// The sheet's steps make the pattern: its length and what each step plays.
std::vector<tramvek::StepLabel> stepLabels(Arguments& arguments) {
    if (arguments.stepSheet.empty()) {
        return {};
    }
    std::vector<tramvek::StepLabel> labels;
    for (const tramvek::SheetStep& step : tramvek::readStepSheet(arguments.stepSheet)) {
        labels.push_back({tramvek::sourceLabel(step), tramvek::pitchLabel(step), tramvek::repeatsLabel(step),
                          tramvek::chanceLabel(step)});
    }
    arguments.grid.stepsPerPattern = static_cast<int>(labels.size());
    return labels;
}

int draw(Arguments& arguments) {
    const std::vector<tramvek::StepLabel> labels = stepLabels(arguments);
    const tramvek::StereoAudio output = tramvek::readAudioFile(arguments.output);
    const tramvek::StereoAudio input =
        arguments.input == "demo" ? tramvek::synthesizeDemoLoop(arguments.grid.tempo, output.sampleRate)
                                  : tramvek::readAudioFile(arguments.input);
    if (!tramvek::writePng(tramvek::drawWaveformPicture(input, output, arguments.grid, labels),
                           arguments.picture)) {
        throw tramvek::HostError("cannot write " + arguments.picture);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "tramvek-waveforms: the input and the output of a render on the step grid, as a PNG picture"};
    Arguments arguments;
    app.add_option("OUTPUT", arguments.output, "the rendered audio file")->required();
    app.add_option("-i,--input", arguments.input, "the audio the render read, or 'demo' (default)");
    app.add_option("-o,--picture", arguments.picture, "PNG file to write")->required();
    app.add_option("--tempo", arguments.grid.tempo, "tempo of the render in BPM (default 120)")
        ->check(CLI::Range(1.0, 10000.0));
    app.add_option("--steps-per-beat", arguments.grid.stepsPerBeat, "steps per quarter note (default 4)")
        ->check(CLI::Range(1, 64));
    app.add_option("--pattern-steps", arguments.grid.stepsPerPattern, "steps per pattern (default 16)")
        ->check(CLI::Range(1, 64));
    app.add_option("--steps", arguments.stepSheet,
                   "the step sheet the render played: sets the pattern steps and labels each output step");
    CLI11_PARSE(app, argc, argv);
    try {
        return draw(arguments);
    } catch (const std::exception& e) {
        std::cerr << "tramvek-waveforms: " << e.what() << '\n';
        return kExitFailure;
    }
}
