// The three setting banks S1, S2, S3 behind the active setting S0: whole
// settings with their running global phases, voice slots and playing set and
// scale numbers. File names are kept by the window program beside them.
#pragma once

#include "engine/rov.h"

constexpr int rov_nbanks = 3;

struct rov_banks {
    rov_setting rosbk[rov_nbanks];
    rov_globphase rogbk[rov_nbanks];
    rov_tonephase rotbk[rov_nbanks * rov_nslots];  // bank k: slots 64k .. 64k + 63
    int setnrbk[rov_nbanks];
    int tonrbk[rov_nbanks];
};

// The state at program start: each bank the built-in setting on row 3 (which
// Multiple play never computes, so the banks are silent), its global phase
// and voice slots zero, set and scale 0.
void rov_banks_init(rov_banks& b);

// Pushes the active setting into the banks before another replaces it: bank
// 2 is dropped, 1 moves to 2, 0 to 1, and the active setting, its global
// phase and its set and scale numbers become bank 0. Voice slots stay.
void rov_bank_push(rov_banks& b, const rov_setting& ros, const rov_globphase& rog, int setnr, int tonr);

// Rotates the active setting and the banks one place: bank 0 becomes
// active, bank 1 bank 0, bank 2 bank 1 and the active setting bank 2 —
// each with its global phase, its 64 voice slots and its set and scale
// numbers, so that every track sounds on unchanged. `fg` names the active
// setting's records.
void rov_bank_rotate(rov_banks& b, const rov_handle& fg, int& setnr, int& tonr);

// The handle of bank k (0..2): its setting, global phase and voice slots.
rov_handle rov_bank_handle(rov_banks& b, int k);
