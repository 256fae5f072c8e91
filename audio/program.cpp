#include "audio/program.h"

#include "audio/alsamidi.h"

void wv_program_init(wv_program& p) {
    p.opt = wv_options{};
    rov_state_init(p.fg);
    rov_default_setting(p.fg.s);
    p.fg.g.rov_volshift = 12;
    rov_banks_init(p.bk);
    p.sample = fi_sample{};
    p.smploaded = false;
    p.smpbytes = 0;
    p.smpszorig = 0;
    p.smprecorded = false;
    p.wvtrate = 22050;
    p.sample_changed = nullptr;
    p.hd.reset();
    p.mix.reset();
    p.ws.setnr = 0;
    p.ws.tonr = p.fg.s.rov_tonindx[0];
    p.ws.bufrest = 0;
}

bool wv_program_midi(wv_program& p, std::string& msg) {
    msg.clear();
    if (!p.opt.midi) {
        if (p.ws.midi && p.midiport) p.midiport->all_off();
        p.ws.midi = nullptr;
        p.midiport.reset();
        return true;
    }
    if (!p.midi) p.midi = std::make_unique<wv_midiout>();
    // The JACK output carries the MIDI on its own port.
    const bool to_device = p.output_midi || p.opt.wvodevno == wv_jack_devno;
    if (!to_device && !p.midiport) p.midiport = wv_alsa_midi_open(msg);
    if (to_device) p.midiport.reset();
    p.midi->port = p.midiport.get();
    p.ws.midi = p.midi.get();
    return to_device || p.midiport != nullptr;
}

void wv_program_wire(wv_program& p, wv_device& dev, wv_notify& sink, wv_timer& timer) {
    wv_stream& s = p.ws;
    p.output = &dev;
    s.dev = &dev;
    s.sink = &sink;
    s.timer = &timer;
    s.opt = &p.opt;
    s.roh = &p.fg.h;
    s.banks = &p.bk;
}
