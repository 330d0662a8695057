// The command lines of the commands that open plug-in editors: `snapshot`
// and `editor-session`.
#pragma once

#include <CLI/CLI.hpp>

#include "cli/snapshot_command.h"
#include "window/editor_session.h"

namespace tramvek {

class EditorCommands {
  public:
    explicit EditorCommands(CLI::App& app);

    bool parsed() const;
    // Runs the parsed command; the process's exit code.
    int run();

  private:
    SnapshotOptions snapshot_;
    CLI::App* snapshotCommand_;
    EditorSessionOptions session_;
    CLI::App* sessionCommand_;
};

}  // namespace tramvek
