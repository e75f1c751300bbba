// sombrevox-lv2-ttl OUTDIR: writes the LV2 bundle's description (manifest.ttl,
// sombrevox.ttl, presets.ttl) from the engine's own ranges and factory
// preset table, so the bundle never holds a hand-copied value.
#include <charconv>
#include <cstdio>
#include <fstream>
#include <string>

#include "FactoryPresets.h"
#include "PluginDescription.h"
#include "ReverbParams.h"

using namespace sombrevox;
using namespace sombrevox::plugins;

namespace {

constexpr const char kPrefixes[] =
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n\n";

constexpr const char kBinary[] = "sombrevox.so";

// The shortest decimal that reads back as the same double, as a Turtle
// decimal or double literal.
std::string Number(double v) {
  char text[64];
  const std::to_chars_result r = std::to_chars(text, text + sizeof text, v);
  std::string s(text, r.ptr);
  if (s.find_first_of(".e") == std::string::npos) s += ".0";
  return s;
}

std::string Quoted(const char* text) {
  std::string s = "\"";
  for (const char* c = text; *c; ++c) {
    if (*c == '"' || *c == '\\') s += '\\';
    s += *c;
  }
  return s + "\"";
}

std::string Uri(const std::string& uri) { return "<" + uri + ">"; }

std::string PresetUri(int index) { return kPresetUriPrefix + std::to_string(index); }

const char* UnitFor(const char* unit) {
  const std::string u = unit;
  if (u == "ms") return "units:ms";
  if (u == "Hz") return "units:hz";
  if (u == "dB") return "units:db";
  return nullptr;
}

// A factory preset's subject: its URI, its class and the plugins it serves.
std::string PresetHead(int index) {
  return Uri(PresetUri(index)) + "\n    a pset:Preset ;\n    lv2:appliesTo " + Uri(kStereoUri) + " , " +
         Uri(kMonoUri) + " ;\n";
}

std::string Manifest() {
  std::string s = kPrefixes;
  for (const char* uri : {kStereoUri, kMonoUri})
    s += Uri(uri) + "\n    a lv2:Plugin ;\n    lv2:binary <" + kBinary + "> ;\n    rdfs:seeAlso <sombrevox.ttl> .\n\n";
  for (int i = 0; i < kFactoryPresetCount; ++i)
    s += PresetHead(i) + "    rdfs:seeAlso <presets.ttl> .\n\n";
  return s;
}

std::string Port(const std::string& kind, uint32_t index, const char* symbol, const char* name,
                 const std::string& more) {
  return "    [\n        a " + kind + " ;\n        lv2:index " + std::to_string(index) + " ;\n        lv2:symbol " +
         Quoted(symbol) + " ;\n        lv2:name " + Quoted(name) + " ;\n" + more + "    ]";
}

std::string PluginDescription(const char* uri, const char* name, const PortLayout& layout) {
  std::string s = Uri(uri) +
                  "\n    a lv2:Plugin , lv2:ReverbPlugin ;\n"
                  "    doap:name " +
                  Quoted(name) + " ;\n    doap:maintainer [ foaf:name " + Quoted(kMaker) +
                  " ] ;\n"
                  "    lv2:optionalFeature lv2:hardRTCapable ;\n"
                  "    lv2:port\n";
  for (int i = 0; i < kParamCount; ++i) {
    const ParamRange& r = kParamRanges[i];
    std::string more = "        lv2:default " + Number(r.initial) + " ;\n        lv2:minimum " + Number(r.lower) +
                       " ;\n        lv2:maximum " + Number(r.upper) + " ;\n";
    if (const char* unit = UnitFor(r.unit)) more += std::string("        units:unit ") + unit + " ;\n";
    s += Port("lv2:InputPort , lv2:ControlPort", i, kControlText[i].symbol, kControlText[i].name, more) + " ,\n";
  }
  for (uint32_t c = 0; c < layout.inputs; ++c) {
    const AudioPortText t = AudioInputText(layout, c);
    s += Port("lv2:InputPort , lv2:AudioPort", PortLayout::AudioIn(c), t.symbol, t.name, "") + " ,\n";
  }
  for (uint32_t c = 0; c < 2; ++c) {
    const AudioPortText t = AudioOutputText(c);
    s += Port("lv2:OutputPort , lv2:AudioPort", layout.AudioOut(c), t.symbol, t.name, "") + " ,\n";
  }
  s += Port("lv2:OutputPort , lv2:ControlPort", layout.Latency(), "latency", "Latency",
            "        lv2:designation lv2:latency ;\n"
            "        lv2:portProperty lv2:reportsLatency , lv2:integer , lv2:connectionOptional ;\n"
            "        units:unit units:frame ;\n") +
       " .\n\n";
  return s;
}

// Each preset holds the record as applying it leaves the filter: the table's
// values clamped to their ranges, so a host never shows a value its control
// cannot take.
std::string Presets() {
  std::string s = kPrefixes;
  for (int i = 0; i < kFactoryPresetCount; ++i) {
    ReverbParams p = kFactoryPresets[i].params;
    ClampAll(p);
    s += PresetHead(i) + "    rdfs:label " + Quoted(kFactoryPresets[i].name) + " ;\n    lv2:port";
    for (int k = 0; k < kParamCount; ++k)
      s += std::string(k ? " ,\n" : "\n") + "        [ lv2:symbol " + Quoted(kControlText[k].symbol) +
           " ; pset:value " + Number(ParamAt(p, k)) + " ]";
    s += " .\n\n";
  }
  return s;
}

bool Write(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) std::fprintf(stderr, "sombrevox-lv2-ttl: cannot write %s\n", path.c_str());
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: sombrevox-lv2-ttl BUNDLE_DIR\n");
    return 1;
  }
  const std::string dir = argv[1];
  const std::string plugins = std::string(kPrefixes) + PluginDescription(kStereoUri, kPluginName, kStereoLayout) +
                              PluginDescription(kMonoUri, kMonoPluginName, kMonoLayout);
  const bool ok = Write(dir + "/manifest.ttl", Manifest()) && Write(dir + "/sombrevox.ttl", plugins) &&
                  Write(dir + "/presets.ttl", Presets());
  return ok ? 0 : 1;
}
