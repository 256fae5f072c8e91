// Writes the plugin's description into its bundle folder, from the tables the
// program itself plays from: the ports (lv2/ports.h), the rows and their slot
// names (engine/rows.h, engine/slots.h), the built-in setting and the preset
// library.
//
//   tess_lv2_ttl OUTDIR BINARY [--library INDEX.txt] [--preset NAME=FILE.rov]...
//
// OUTDIR gets manifest.ttl, tessellon.ttl, presets.ttl and slots.txt (what
// every slot means in every row). Every preset of the library becomes an LV2
// preset with its setting, set, row, voice maximum and sample, except those
// that need Multiple play's banks, which the instrument does not keep. Exit
// status 1 when a file cannot be written or a preset's files cannot be read.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/rov.h"
#include "engine/rows.h"
#include "engine/slots.h"
#include "audio/options.h"
#include "files/presets.h"
#include "files/wavload.h"
#include "files/setting_file.h"
#include "lv2/ports.h"
#include "lv2/synth.h"

namespace {

// A string as a Turtle literal.
std::string lit(const std::string& s) {
    std::string o = "\"";
    for (const char c : s) {
        if (c == '"' || c == '\\') o += '\\';
        if (c == '\n') {
            o += "\\n";
            continue;
        }
        o += c;
    }
    return o + "\"";
}

std::string b64(const uint8_t* d, std::size_t n) {
    static const char* t = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string o;
    for (std::size_t i = 0; i < n; i += 3) {
        const uint32_t v = (uint32_t{d[i]} << 16) | (i + 1 < n ? uint32_t{d[i + 1]} << 8 : 0) | (i + 2 < n ? d[i + 2] : 0);
        o += t[(v >> 18) & 63];
        o += t[(v >> 12) & 63];
        o += i + 1 < n ? t[(v >> 6) & 63] : '=';
        o += i + 2 < n ? t[v & 63] : '=';
    }
    return o;
}

std::string row_label(int r) {
    const rov_rowdesc& d = rov_row(r);
    return d.tab.title && d.tab.title[0] ? d.tab.title : "(empty algorithm)";
}

// The name of a slot text (the part before its NUL), trimmed.
std::string slot_name(const char* t) {
    std::string s;
    for (const char* c = t ? t : ""; *c; ++c)
        if (*c != '&') s += *c;  // the menu mnemonic
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s.empty() ? "-" : s;
}

std::string slot_help(const char* t) {
    if (!t) return "";
    std::string h = t + std::strlen(t) + 1;
    for (char& c : h)
        if (c == '\n') c = ' ';
    std::string o;
    for (const char c : h)
        if (!(c == ' ' && !o.empty() && o.back() == ' ')) o += c;
    return o;
}

const char* const prefixes =
    "@prefix atom:  <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix doap:  <http://usefulinc.com/ns/doap#> .\n"
    "@prefix log:   <http://lv2plug.in/ns/ext/log#> .\n"
    "@prefix lv2:   <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix midi:  <http://lv2plug.in/ns/ext/midi#> .\n"
    "@prefix patch: <http://lv2plug.in/ns/ext/patch#> .\n"
    "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
    "@prefix pset:  <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdfs:  <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix time:  <http://lv2plug.in/ns/ext/time#> .\n"
    "@prefix urid:  <http://lv2plug.in/ns/ext/urid#> .\n"
    "@prefix work:  <http://lv2plug.in/ns/ext/worker#> .\n"
    "@prefix xsd:   <http://www.w3.org/2001/XMLSchema#> .\n\n";

void control_port(std::ostream& o, uint32_t i, const rov_setting& def) {
    const tl_port& d = tl_ports[i];
    o << "\t\ta lv2:InputPort , lv2:ControlPort ;\n\t\tlv2:index " << i << " ;\n\t\tlv2:symbol \"" << d.symbol
      << "\" ;\n\t\tlv2:name " << lit(d.name) << " ;\n";
    int lo = 0, hi = 1;
    const int dv = static_cast<int>(tl_port_default(i, def));
    switch (d.kind) {
    case tl_port_row:
        hi = rov_natab - 1;
        o << "\t\tlv2:portProperty lv2:integer , lv2:enumeration ;\n";
        // The rows that can play (a row without a routine plays the setting's own).
        for (int r = 0; r < rov_natab; ++r)
            if (rov_row_computed(r))
                o << "\t\tlv2:scalePoint [ rdfs:label " << lit(std::to_string(r) + " " + row_label(r)) << " ; rdf:value "
              << r << " ] ;\n";
        break;
    case tl_port_set:
        hi = 9;
        o << "\t\tlv2:portProperty lv2:integer ;\n";
        break;
    case tl_port_slot:
        lo = rov_slot_std[d.slot].physmin;
        hi = rov_slotmax(rov_slot_std, d.slot, 64);
        o << "\t\tlv2:portProperty lv2:integer ;\n";
        o << "\t\trdfs:comment " << lit(slot_help(slots_panning.rPar[d.slot]) +
                                       (d.slot >= 3 && d.slot <= 8 ? " (the row's own slot: see slots.txt)" : ""))
          << " ;\n";
        break;
    case tl_port_saw:
        o << "\t\tlv2:portProperty lv2:toggled ;\n";
        break;
    case tl_port_timbre:
    case tl_port_emphasis: o << "\t\tlv2:portProperty lv2:toggled ;\n"; break;
    case tl_port_voices:
        lo = 1;
        hi = 64;
        o << "\t\tlv2:portProperty lv2:integer ;\n";
        break;
    default: break;
    }
    o << "\t\tlv2:default " << dv << " ;\n\t\tlv2:minimum " << lo << " ;\n\t\tlv2:maximum " << hi << " ;\n";
}

std::string plugin_ttl(const rov_setting& def) {
    std::ostringstream o;
    o << prefixes << "@prefix rdf:   <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n\n";
    o << "<" TL_NS "sample>\n\ta lv2:Parameter ;\n\trdfs:label \"sample\" ;\n\trdfs:range atom:Path .\n\n";
    o << "<" TL_NS "settingFile>\n\ta lv2:Parameter ;\n\trdfs:label \"setting file\" ;\n\trdfs:range atom:Path .\n\n";
    o << "<" TL_URI ">\n\ta lv2:Plugin , lv2:InstrumentPlugin ;\n\tdoap:name \"Wave Tessellon\" ;\n"
      << "\tdoap:license <https://spdx.org/licenses/GPL-3.0-or-later> ;\n"
      << "\trdfs:comment " << lit("A generative music synthesizer: the algorithm row plays the setting's playing set. "
                                 "Program change 0-9 selects the set; control change " + std::to_string(tl_cc_first) +
                                 "+k moves slot k (0-15) over its range; a stopped transport pauses the tones. "
                                 "slots.txt in this bundle says what each slot means in each row.")
      << " ;\n\tlv2:requiredFeature urid:map ;\n\tlv2:optionalFeature lv2:hardRTCapable , work:schedule , log:log , state:threadSafeRestore ;\n"
      << "\tlv2:extensionData state:interface , work:interface ;\n"
      << "\tpatch:writable <" TL_NS "sample> , <" TL_NS "settingFile> ;\n\tlv2:port [\n";
    for (uint32_t i = 0; i < tl_nports; ++i) {
        const tl_port& d = tl_ports[i];
        if (i) o << "\t] , [\n";
        if (d.kind == tl_port_events) {
            o << "\t\ta lv2:InputPort , atom:AtomPort ;\n\t\tatom:bufferType atom:Sequence ;\n"
              << "\t\tatom:supports midi:MidiEvent , time:Position , patch:Message ;\n"
              << "\t\tlv2:designation lv2:control ;\n\t\tlv2:index " << i << " ;\n\t\tlv2:symbol \"" << d.symbol
              << "\" ;\n\t\tlv2:name " << lit(d.name) << " ;\n";
        } else if (d.kind == tl_port_audio) {
            o << "\t\ta lv2:OutputPort , lv2:AudioPort ;\n\t\tlv2:index " << i << " ;\n\t\tlv2:symbol \"" << d.symbol
              << "\" ;\n\t\tlv2:name " << lit(d.name) << " ;\n";
        } else {
            control_port(o, i, def);
        }
    }
    o << "\t] .\n";
    return o.str();
}

struct preset {
    std::string name;
    int setnr = 0;
    bool builtin = true;     // the built-in setting: the set port alone
    tl_config c{};           // otherwise: the setting and options, restored with the preset
    std::string sample;      // the sample's session form; empty: none
};

std::string preset_uri(std::size_t k) { return TL_NS "preset" + std::to_string(k); }

std::string presets_ttl(const std::vector<preset>& ps) {
    std::ostringstream o;
    o << prefixes;
    // The state's properties, which the presets below carry.
    const char* const props[][2] = {{"setting", "The whole setting: its 672 bytes as the setting file holds them."},
                                     {"options", "Row, set, Emphasis, Timbre Variation and voice maximum."},
                                     {"sampleData", "The loaded sample: its rate, length and area."}};
    for (const auto& pr : props)
        o << "<" TL_NS << pr[0] << ">\n\ta <http://www.w3.org/1999/02/22-rdf-syntax-ns#Property> ;\n\trdfs:label "
          << lit(pr[0]) << " ;\n\trdfs:comment " << lit(pr[1]) << " ;\n\trdfs:range xsd:base64Binary .\n\n";
    for (std::size_t k = 0; k < ps.size(); ++k) {
        const preset& p = ps[k];
        o << "<" << preset_uri(k) << ">\n\ta pset:Preset ;\n\tlv2:appliesTo <" TL_URI "> ;\n\trdfs:label "
          << lit(p.name) << " ;\n\tlv2:port [\n\t\tlv2:symbol \"set\" ;\n\t\tpset:value " << p.setnr << ".0\n\t]";
        if (!p.builtin) {
            uint8_t bytes[rov_setting_bytes];
            rov_setting_write(p.c.setting, bytes);
            uint8_t opts[tl_options_bytes];
            tl_options_write(p.c, opts);
            o << " ;\n\tstate:state [\n\t\t<" TL_NS "setting> \"" << b64(bytes, sizeof bytes)
              << "\"^^xsd:base64Binary ;\n\t\t<" TL_NS "options> \"" << b64(opts, sizeof opts) << "\"^^xsd:base64Binary";
            if (!p.sample.empty())
                o << " ;\n\t\t<" TL_NS "sampleData> \""
                  << b64(reinterpret_cast<const uint8_t*>(p.sample.data()), p.sample.size()) << "\"^^xsd:base64Binary";
            o << "\n\t]";
        }
        o << " .\n\n";
    }
    return o.str();
}

std::string manifest_ttl(const std::string& binary, const std::vector<preset>& ps) {
    std::ostringstream o;
    o << prefixes << "<" TL_URI ">\n\ta lv2:Plugin , lv2:InstrumentPlugin ;\n\tlv2:binary <" << binary
      << "> ;\n\trdfs:seeAlso <tessellon.ttl> .\n";
    for (std::size_t k = 0; k < ps.size(); ++k)
        o << "\n<" << preset_uri(k) << ">\n\ta pset:Preset ;\n\tlv2:appliesTo <" TL_URI "> ;\n\trdfs:seeAlso <presets.ttl> .\n";
    return o.str();
}

// Per row, the name and meaning of each slot (and the switch).
std::string slots_txt() {
    std::ostringstream o;
    o << "Wave Tessellon plugin: what the slot ports p0..p12, rate, volume and change_delay mean in each algorithm row.\n"
      << "MIDI: program change 0-9 selects the set; control change " << tl_cc_first << "+k (k = 0..15) moves slot k\n"
      << "over its range (value 0 its lowest, 127 its highest). The plugin's sound is the engine's samples:\n"
      << "Volume is kept with the set (and saved) but the host's own fader sets the level.\n";
    for (int r = 0; r < rov_natab; ++r) {
        const rov_rowdesc& d = rov_row(r);
        o << "\nRow " << r << ": " << row_label(r) << "\n";
        if (!d.names || !rov_row_computed(r)) {
            o << "  (no slots of its own)\n";
            continue;
        }
        for (int s = 0; s < rov_slotcount; ++s) {
            o << "  " << tl_ports[tl_p_first_slot + s].symbol << "\t" << slot_name(d.names->rPar[s]);
            if (d.names2 && slot_name(d.names2->rPar[s]) != slot_name(d.names->rPar[s]))
                o << " / " << slot_name(d.names2->rPar[s]) << (d.two_channels ? " (odd sets)" : " (Timbre Variation)");
            o << "\t" << slot_help(d.names->rPar[s]) << "\n";
        }
        o << "  saw\t" << slot_name(d.names->rSwi) << "\t" << slot_help(d.names->rSwi) << "\n";
    }
    return o.str();
}

bool write(const std::string& path, const std::string& text) {
    std::ofstream f(path, std::ios::binary);
    f << text;
    f.close();
    if (!f) {
        std::fprintf(stderr, "tess_lv2_ttl: cannot write '%s'\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace

// The presets of the library's index that the instrument can hold.
bool library_presets(const std::string& index, std::vector<preset>& ps) {
    std::ifstream f(index, std::ios::binary);
    std::stringstream text;
    text << f.rdbuf();
    if (!f) {
        std::fprintf(stderr, "tess_lv2_ttl: cannot read the preset index '%s'\n", index.c_str());
        return false;
    }
    const std::size_t slash = index.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "." : index.substr(0, slash);
    std::vector<std::string> errors;
    const fi_library lib = fi_presets_parse(text.str(), dir, errors);
    for (const std::string& e : errors) std::fprintf(stderr, "tess_lv2_ttl: %s\n", e.c_str());
    if (!errors.empty()) return false;
    for (const fi_preset& fp : lib.presets) {
        if (!fp.banks.empty()) continue;  // Multiple play's banks are no part of the instrument
        preset p;
        p.name = fp.name;
        p.setnr = fp.setnr;
        p.builtin = false;
        p.c.setnr = fp.setnr;
        p.c.row = fp.row;
        if (fp.voices > 0) p.c.maxv = fp.voices;
        if (fi_setting_read(fp.setting, p.c.setting) != fi_read::ok) {
            std::fprintf(stderr, "tess_lv2_ttl: '%s' is not a setting file\n", fp.setting.c_str());
            return false;
        }
        if (!fp.sample.empty()) {
            fi_sample smp;
            std::vector<fi_filemsg> msgs;
            // The capacity the program gives a sample.
            if (fi_sample_load(fp.sample, wv_options{}.bufszorig, smp, msgs) != fi_wav::loaded) {
                std::fprintf(stderr, "tess_lv2_ttl: cannot load the sample '%s'\n", fp.sample.c_str());
                return false;
            }
            p.sample = tl_sample_bytes(smp);
        }
        ps.push_back(std::move(p));
    }
    return true;
}

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: tess_lv2_ttl OUTDIR BINARY [--library INDEX.txt] [--preset NAME=FILE.rov]...\n");
        return 2;
    }
    const std::string dir = argv[1];
    rov_setting def{};
    rov_default_setting(def);
    std::vector<preset> ps;
    for (int n = 0; n < rov_nsets; ++n) ps.push_back({"Built-in set " + std::to_string(n), n, true, {}, {}});
    for (int i = 3; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--library" && i + 1 < argc) {
            if (!library_presets(argv[++i], ps)) return 1;
            continue;
        }
        if (a != "--preset" || i + 1 >= argc || std::string(argv[i + 1]).find('=') == std::string::npos) {
            std::fprintf(stderr, "tess_lv2_ttl: expected --library INDEX.txt or --preset NAME=FILE.rov, not '%s'\n", a.c_str());
            return 2;
        }
        const std::string v = argv[++i];
        preset p;
        p.name = v.substr(0, v.find('='));
        p.builtin = false;
        const std::string file = v.substr(v.find('=') + 1);
        if (fi_setting_read(file, p.c.setting) != fi_read::ok) {
            std::fprintf(stderr, "tess_lv2_ttl: '%s' is not a setting file\n", file.c_str());
            return 1;
        }
        ps.push_back(p);
    }
    const bool ok = write(dir + "/manifest.ttl", manifest_ttl(argv[2], ps)) &&
                    write(dir + "/tessellon.ttl", plugin_ttl(def)) && write(dir + "/presets.ttl", presets_ttl(ps)) &&
                    write(dir + "/slots.txt", slots_txt());
    return ok ? 0 : 1;
}
