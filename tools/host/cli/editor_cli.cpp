#include "cli/editor_cli.h"

#include <iostream>

namespace tramvek {

EditorCommands::EditorCommands(CLI::App& app) {
    snapshotCommand_ =
        app.add_subcommand("snapshot", "open a plug-in's editor in a window and save a PNG of it");
    snapshotCommand_
        ->add_option("PLUGIN", snapshot_.plugin, "plug-in library, or an LV2 bundle directory or URI")
        ->required();
    snapshotCommand_->add_option("-o,--output", snapshot_.output, "PNG file to write")->required();
    snapshotCommand_->add_option("--state", snapshot_.state,
                                 "load a bank (.fxb) or preset (.fxp) first; LV2: a state directory");
    snapshotCommand_->add_option("--render-first", snapshot_.renderFirstSeconds,
                                 "play this many seconds of the demo loop through the plug-in first");
    snapshotCommand_
        ->add_option("--hold", snapshot_.holdMilliseconds,
                     "LV2: before the picture, print 'ready X Y' (the editor's screen position), keep "
                     "it open this many ms and print its touches and writes")
        ->check(CLI::Range(0, 600000));

    sessionCommand_ = app.add_subcommand(
        "editor-session", "open a plug-in's editor and obey commands from standard input (for test scripts)");
    sessionCommand_->add_option("PLUGIN", session_.plugin, "plug-in library")->required();
}

bool EditorCommands::parsed() const {
    return snapshotCommand_->parsed() || sessionCommand_->parsed();
}

int EditorCommands::run() {
    if (sessionCommand_->parsed()) {
        runEditorSession(session_, std::cin, std::cout);
    } else {
        runSnapshot(snapshot_);
    }
    return 0;
}

}  // namespace tramvek
