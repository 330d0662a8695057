// Writes the bundle's descriptions (manifest.ttl, tramvek.ttl) from the
// parameter facts, so the ports always say what the engine does.
//   tramvek-lv2-ttl OUTPUT_DIRECTORY
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "engine/engine_counts.h"
#include "params/parameter_table.h"
#include "plugin/lv2/lv2_identity.h"
#include "plugin/lv2/lv2_messages.h"
#include "plugin/lv2/port_values.h"

namespace tramvek::lv2 {
namespace {

// A Turtle decimal: always with a point, never an exponent.
std::string decimal(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.9g", value);
    std::string result = text;
    if (result.find_first_of(".e") == std::string::npos) {
        result += ".0";
    }
    return result;
}

const char* unitUri(const char* unit) {
    return std::strcmp(unit, "semitones") == 0 ? "units:semitone12TET" : "units:pc";
}

std::string audioPort(Port index, const char* direction, const char* symbol, const char* name) {
    return "    [ a lv2:AudioPort, lv2:" + std::string(direction) + " ;\n      lv2:index " +
           std::to_string(index) + " ;\n      lv2:symbol \"" + symbol + "\" ;\n      lv2:name \"" + name +
           "\" ]";
}

std::string controlPort(std::int32_t parameter) {
    const ParameterFacts& facts = kParameterFacts[parameter];
    std::string port = "    [ a lv2:ControlPort, lv2:InputPort ;\n      lv2:index " +
                       std::to_string(kPortFirstControl + parameter) + " ;\n      lv2:symbol \"" +
                       facts.symbol + "\" ;\n      lv2:name \"" + facts.caption + "\" ;\n      lv2:default " +
                       decimal(portValueFor(parameter, kDefaultParams[parameter])) +
                       " ;\n      lv2:minimum " + decimal(facts.displayMinimum) + " ;\n      lv2:maximum " +
                       decimal(facts.displayMaximum) + " ;\n      units:unit " + unitUri(facts.unit);
    if (portIsInteger(parameter)) {
        port += " ;\n      lv2:portProperty lv2:integer";
    }
    return port + " ]";
}

std::string eventPort(Port index, const char* supports, const char* symbol, const char* name) {
    return "    [ a lv2:InputPort, atom:AtomPort ;\n      atom:bufferType atom:Sequence ;\n      "
           "atom:supports " +
           std::string(supports) + " ;\n      lv2:index " + std::to_string(index) +
           " ;\n      lv2:symbol \"" + symbol + "\" ;\n      lv2:name \"" + name + "\" ]";
}

// The editor's two message ports: its edits in, what it shows out.
std::string editorPorts() {
    return "    [ a lv2:InputPort, atom:AtomPort ;\n      atom:bufferType atom:Sequence ;\n      "
           "atom:supports atom:Object ;\n      lv2:portProperty lv2:connectionOptional ;\n      lv2:index " +
           std::to_string(kPortCommands) +
           " ;\n      lv2:symbol \"editor_in\" ;\n      lv2:name \"Editor In\" ] ,\n"
           "    [ a lv2:OutputPort, atom:AtomPort ;\n      atom:bufferType atom:Sequence ;\n      "
           "atom:supports atom:Object ;\n      lv2:portProperty lv2:connectionOptional ;\n      "
           "rsz:minimumSize " +
           std::to_string(kNotifyBufferBytes) + " ;\n      lv2:index " + std::to_string(kPortNotify) +
           " ;\n      lv2:symbol \"notify\" ;\n      lv2:name \"Editor Out\" ]";
}

std::string programPort() {
    return "    [ a lv2:ControlPort, lv2:InputPort ;\n      lv2:index " + std::to_string(kPortProgram) +
           " ;\n      lv2:symbol \"program\" ;\n      lv2:name \"Program\" ;\n      lv2:default 1 ;\n"
           "      lv2:minimum 1 ;\n      lv2:maximum " +
           std::to_string(EngineCounts::kProgramCount) + " ;\n      lv2:portProperty lv2:integer ]";
}

std::string portNotification(const std::string& symbol, const char* protocol) {
    return "    [ ui:plugin <" + std::string(kPluginUri) + "> ;\n      lv2:symbol \"" + symbol +
           "\" ;\n      ui:protocol " + protocol + " ]";
}

// The X11 editor: embedded in the host's window, idled by the host, told of
// every control port and of the notify port's messages.
std::string editorDescription() {
    std::string ttl = "\n<" + std::string(kUiUri) +
                      ">\n    a ui:X11UI ;\n    lv2:requiredFeature urid:map, ui:parent ;\n"
                      "    lv2:optionalFeature ui:idleInterface, ui:resize, ui:touch ;\n"
                      "    lv2:extensionData ui:idleInterface ;\n    ui:portNotification\n";
    for (std::int32_t i = 0; i < kParameterCount; ++i) {
        ttl += portNotification(kParameterFacts[i].symbol, "ui:floatProtocol") + " ,\n";
    }
    return ttl + portNotification("notify", "atom:eventTransfer") + " .\n";
}

std::string pluginDescription() {
    std::string ttl =
        "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
        "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
        "@prefix log: <http://lv2plug.in/ns/ext/log#> .\n"
        "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
        "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
        "@prefix rsz: <http://lv2plug.in/ns/ext/resize-port#> .\n"
        "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
        "@prefix time: <http://lv2plug.in/ns/ext/time#> .\n"
        "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
        "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
        "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n";
    ttl += "<" + std::string(kPluginUri) + ">\n    a lv2:Plugin ;\n    doap:name \"" + kPluginName +
           "\" ;\n    lv2:minorVersion 0 ;\n    lv2:microVersion 0 ;\n"
           "    lv2:requiredFeature urid:map ;\n"
           "    lv2:optionalFeature lv2:hardRTCapable, log:log, state:makePath, state:mapPath, "
           "state:freePath ;\n"
           "    lv2:extensionData state:interface ;\n    ui:ui <" +
           kUiUri + "> ;\n    lv2:port\n";
    ttl += audioPort(kPortInputLeft, "InputPort", "in_l", "In L") + " ,\n";
    ttl += audioPort(kPortInputRight, "InputPort", "in_r", "In R") + " ,\n";
    ttl += audioPort(kPortOutputLeft, "OutputPort", "out_l", "Out L") + " ,\n";
    ttl += audioPort(kPortOutputRight, "OutputPort", "out_r", "Out R") + " ,\n";
    for (std::int32_t i = 0; i < kParameterCount; ++i) {
        ttl += controlPort(i) + " ,\n";
    }
    // Transport on a port of its own: some hosts send time:Position only to
    // an input that takes nothing else.
    ttl += eventPort(kPortMidi, "midi:MidiEvent", "midi_in", "MIDI In") + " ,\n";
    ttl += eventPort(kPortTime, "time:Position", "time_in", "Transport") + " ,\n";
    ttl += editorPorts() + " ,\n";
    ttl += programPort() + " .\n";
    return ttl + editorDescription();
}

std::string manifest() {
    return "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
           "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
           "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n\n<" +
           std::string(kPluginUri) + ">\n    a lv2:Plugin ;\n    lv2:binary <" + kBinaryName +
           "> ;\n    rdfs:seeAlso <tramvek.ttl> .\n\n<" + kUiUri + ">\n    a ui:X11UI ;\n    ui:binary <" +
           kUiBinaryName + "> ;\n    rdfs:seeAlso <tramvek.ttl> .\n";
}

bool writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    return static_cast<bool>(out);
}

}  // namespace
}  // namespace tramvek::lv2

int main(int argc, char** argv) {
    static_assert(tramvek::kParameterCount == tramvek::lv2::kPortMidi - tramvek::lv2::kPortFirstControl);
    static_assert(tramvek::lv2::kPortProgram + 1 == tramvek::lv2::kPortCount);
    if (argc != 2) {
        std::cerr << "usage: tramvek-lv2-ttl OUTPUT_DIRECTORY\n";
        return 2;
    }
    const std::string dir = argv[1];
    if (!tramvek::lv2::writeFile(dir + "/manifest.ttl", tramvek::lv2::manifest()) ||
        !tramvek::lv2::writeFile(dir + "/tramvek.ttl", tramvek::lv2::pluginDescription())) {
        std::cerr << "tramvek-lv2-ttl: cannot write into " << dir << "\n";
        return 1;
    }
    return 0;
}
