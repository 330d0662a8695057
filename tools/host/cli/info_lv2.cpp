#include "cli/info_lv2.h"

#include <string>
#include <vector>

#include "formats/json_writer.h"
#include "hosting/lv2/lv2_ports.h"
#include "hosting/lv2/lv2_world.h"

namespace tramvek {
namespace {

struct Lv2Description {
    std::string uri;
    std::string name;
    std::string bundle;
    std::string binary;
    std::vector<std::string> requiredFeatures;
    std::vector<std::string> optionalFeatures;
    std::vector<std::string> extensionData;
    Lv2Ports ports;
};

std::vector<std::string> uris(LilvNodes* nodes) {
    std::vector<std::string> texts;
    LILV_FOREACH(nodes, i, nodes) {
        texts.emplace_back(lilv_node_as_uri(lilv_nodes_get(nodes, i)));
    }
    lilv_nodes_free(nodes);
    return texts;
}

Lv2Description describe(Lv2World& world, const LilvPlugin* plugin) {
    Lv2Description d;
    d.uri = lilv_node_as_uri(lilv_plugin_get_uri(plugin));
    LilvValue name(lilv_plugin_get_name(plugin));
    d.name = name ? lilv_node_as_string(name.get()) : "";
    d.bundle = lilv_node_as_uri(lilv_plugin_get_bundle_uri(plugin));
    d.binary = lilv_node_as_uri(lilv_plugin_get_library_uri(plugin));
    d.requiredFeatures = uris(lilv_plugin_get_required_features(plugin));
    d.optionalFeatures = uris(lilv_plugin_get_optional_features(plugin));
    d.extensionData = uris(lilv_plugin_get_extension_data(plugin));
    d.ports = describePorts(world.get(), plugin);
    return d;
}

const char* kindName(Lv2PortKind kind) {
    switch (kind) {
        case Lv2PortKind::AudioInput:
            return "audio in";
        case Lv2PortKind::AudioOutput:
            return "audio out";
        case Lv2PortKind::ControlInput:
            return "control in";
        case Lv2PortKind::ControlOutput:
            return "control out";
        case Lv2PortKind::AtomInput:
            return "atom in";
        case Lv2PortKind::AtomOutput:
            return "atom out";
    }
    return "";
}

std::string takes(const Lv2Port& port) {
    std::string text = port.takesMidi ? "midi:MidiEvent" : "";
    if (port.takesPosition) {
        text += std::string(text.empty() ? "" : " ") + "time:Position";
    }
    return text;
}

void printList(const char* title, const std::vector<std::string>& items, std::ostream& out) {
    out << title << "\n";
    for (const std::string& item : items) {
        out << "  " << item << "\n";
    }
}

void printText(const Lv2Description& d, std::ostream& out) {
    out << "uri:            " << d.uri << "\n"
        << "name:           " << d.name << "\n"
        << "bundle:         " << d.bundle << "\n"
        << "binary:         " << d.binary << "\n";
    printList("required features:", d.requiredFeatures, out);
    printList("optional features:", d.optionalFeatures, out);
    printList("extension data:", d.extensionData, out);
    out << "ports:\n";
    for (const Lv2Port& p : d.ports.all) {
        out << "  " << p.index << ": " << kindName(p.kind) << " \"" << p.symbol << "\" \"" << p.name << "\"";
        if (p.kind == Lv2PortKind::ControlInput) {
            out << " default " << p.defaultValue << " range " << p.minimum << ".." << p.maximum
                << (p.integer ? " integer" : "") << (p.toggled ? " toggled" : "");
        } else if (p.kind == Lv2PortKind::AtomInput) {
            out << " takes " << takes(p);
        }
        out << "\n";
    }
}

void printJsonList(JsonWriter& json, const char* key, const std::vector<std::string>& items) {
    json.key(key);
    json.beginArray();
    for (const std::string& item : items) {
        json.value(item);
    }
    json.endArray();
}

void printJson(const Lv2Description& d, std::ostream& out) {
    JsonWriter json(out);
    json.beginObject();
    json.key("uri");
    json.value(d.uri);
    json.key("name");
    json.value(d.name);
    json.key("bundle");
    json.value(d.bundle);
    json.key("binary");
    json.value(d.binary);
    printJsonList(json, "requiredFeatures", d.requiredFeatures);
    printJsonList(json, "optionalFeatures", d.optionalFeatures);
    printJsonList(json, "extensionData", d.extensionData);
    json.key("ports");
    json.beginArray();
    for (const Lv2Port& p : d.ports.all) {
        json.beginObject();
        json.key("index");
        json.value(std::int64_t{p.index});
        json.key("kind");
        json.value(kindName(p.kind));
        json.key("symbol");
        json.value(p.symbol);
        json.key("name");
        json.value(p.name);
        if (p.kind == Lv2PortKind::ControlInput) {
            json.key("default");
            json.value(double{p.defaultValue});
            json.key("minimum");
            json.value(double{p.minimum});
            json.key("maximum");
            json.value(double{p.maximum});
            json.key("integer");
            json.value(p.integer);
            json.key("toggled");
            json.value(p.toggled);
        } else if (p.kind == Lv2PortKind::AtomInput) {
            json.key("takes");
            json.value(takes(p));
        }
        json.endObject();
    }
    json.endArray();
    json.endObject();
}

}  // namespace

void runLv2Info(const InfoOptions& options, std::ostream& out) {
    Lv2World world;
    const Lv2Description d = describe(world, world.findPlugin(options.plugin));
    if (options.json) {
        printJson(d, out);
    } else {
        printText(d, out);
    }
}

}  // namespace tramvek
