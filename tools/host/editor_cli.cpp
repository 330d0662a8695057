#include "editor_cli.h"

namespace tramvek {

EditorCommands::EditorCommands(CLI::App& app) {
    snapshotCommand_ =
        app.add_subcommand("snapshot", "open a plug-in's editor in a window and save a PNG of it");
    snapshotCommand_->add_option("PLUGIN", snapshot_.plugin, "plug-in library")->required();
    snapshotCommand_->add_option("-o,--output", snapshot_.output, "PNG file to write")->required();
    snapshotCommand_->add_option("--state", snapshot_.state, "load a bank (.fxb) or preset (.fxp) first");
    snapshotCommand_->add_option("--render-first", snapshot_.renderFirstSeconds,
                                 "play this many seconds of the demo loop through the plug-in first");
}

bool EditorCommands::parsed() const {
    return snapshotCommand_->parsed();
}

int EditorCommands::run() {
    runSnapshot(snapshot_);
    return 0;
}

}  // namespace tramvek
