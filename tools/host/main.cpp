// tramvek-host: a command-line VST 2 host.
#include <CLI/CLI.hpp>
#include <iostream>

#include "host_error.h"
#include "info_command.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"tramvek-host: load VST 2 plug-ins and drive them from the command line"};
    app.require_subcommand(1);

    tramvek::InfoOptions info;
    CLI::App* infoCommand = app.add_subcommand("info", "print what a plug-in declares");
    infoCommand->add_option("PLUGIN", info.plugin, "plug-in library")->required();
    infoCommand->add_flag("--json", info.json, "print JSON");

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
        }
    } catch (const std::exception& e) {
        std::cerr << "tramvek-host: " << e.what() << "\n";
        return kExitFailure;
    }
    return 0;
}
