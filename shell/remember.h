// What the window program remembers from one start to the next, in the
// user's file of choices (files/prefs.h): the answer to the introduction's
// question once "Don't ask again" was ticked, the output device and the
// setup (the options of Options > Setup and the others a setup file holds).
#pragma once

#include <string>
#include <vector>

#include "files/prefs.h"
#include "shell/commands.h"
#include "shell/state.h"

// The introduction at start: asked (the default), or the answer remembered.
enum sh_intro_pref { sh_intro_ask, sh_intro_sound, sh_intro_silent, sh_intro_skip };

// The remembered answer in `p`: ask when none (or a bad one, with a message).
sh_intro_pref sh_intro_pref_of(const fi_prefs& p, std::vector<std::string>& problems);
// Remembers the answer `a` to sh_intro_question(introcap).
void sh_remember_intro(fi_prefs& p, int introcap, sh_answer a);
// The intro flag for a remembered answer (as sh_intro_answer gives it):
// with sound where a device answered, 0 without, -1 none.
int sh_intro_flag(sh_intro_pref pref, int introcap);

// Stores the output device and the setup in effect.
void sh_remember_setup(fi_prefs& p, const sh_state& st);
// Applies the remembered setup and device after the probe at start: every
// value in its range becomes its option, as a loaded setup file does; a
// value out of range, or not a number, is reported and its option keeps
// the default. A remembered device that does not answer any more is
// reported and the device the probe chose stays. Nothing remembered:
// nothing changes.
void sh_apply_remembered(sh_state& st, const sh_ui& ui, const fi_prefs& p, std::vector<std::string>& problems);
