#include "cli/editor_cli.h"

#include <iostream>

namespace tramvek {

EditorCommands::EditorCommands(CLI::App& app) {
    snapshotCommand_ =
        app.add_subcommand("snapshot", "open a plug-in's editor in a window and save a PNG of it");
    snapshotCommand_->add_option("PLUGIN", snapshot_.plugin, "plug-in library")->required();
    snapshotCommand_->add_option("-o,--output", snapshot_.output, "PNG file to write")->required();
    snapshotCommand_->add_option("--state", snapshot_.state, "load a bank (.fxb) or preset (.fxp) first");
    snapshotCommand_->add_option("--render-first", snapshot_.renderFirstSeconds,
                                 "play this many seconds of the demo loop through the plug-in first");

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
