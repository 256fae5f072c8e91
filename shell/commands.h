// Command dispatch of the main window: what each menu command, toolbar slot
// and icon click does to the options, and which dialog it asks the window
// system for. The window system is reached only through sh_ui, so the whole
// behaviour runs under test with a recording fake.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "audio/capture.h"
#include "shell/pardef.h"
#include "shell/state.h"

enum sh_buttons { sh_btn_ok, sh_btn_okcancel, sh_btn_yesno, sh_btn_yesnocancel };
enum sh_answer { sh_ans_ok, sh_ans_cancel, sh_ans_yes, sh_ans_no };
enum sh_icon { sh_icon_none, sh_icon_info, sh_icon_question, sh_icon_stop };

// One message box.
struct sh_question {
    std::string caption;
    std::string text;
    sh_buttons buttons = sh_btn_ok;
    sh_icon icon = sh_icon_none;
};

// A file dialog: Load (open an existing file) or Save (the overwrite
// question included). In: the proposed path, the initial folder and the
// file type (filter index 1..4). Out: the chosen full path and file type.
struct sh_filereq {
    bool save = false;
    int filter = 1;
    std::string path;
    std::string dir;
};

// The services of the window system a command may need. Every member is
// called modally: it returns when the dialog is over.
struct sh_ui {
    std::function<sh_answer(const sh_question&)> message;
    // The setup parameter dialog; edits *pd.pval, "&Cancel" restores it.
    std::function<void(const pardef& pd)> pardlg;
    // The setting editor for the row in st.algomod.
    std::function<void(int row)> editor;
    // An information page by template name ("RANOVSP3", ...).
    std::function<void(const std::string& name)> help;
    // Capabilities of an output device; false when the device does not answer.
    std::function<bool(uint32_t devno, sh_woc& caps)> probe;
    // A file dialog; false when the user cancelled.
    std::function<bool(sh_filereq& req)> filedlg;
    // The modulo calculator on the foreground setting (its store buttons
    // write the setting's moduli).
    std::function<void(rov_setting& s)> calc;
    // The capability dialog of the selected output device.
    std::function<void(const sh_woc& woc, uint32_t devno)> caps;
    // The sound devices of "&Record Sample" and "&Test Sample" (nullptr: none).
    wv_capture* capture = nullptr;
    wv_device* output = nullptr;
    // While a sample function blocks: lets at most `ms` milliseconds pass,
    // the windows drawn but deaf to input; false when the program is to end.
    std::function<bool(int ms)> wait;
    // The wait cursor (true) or the arrow (false).
    std::function<void(bool on)> busy;
};

// Runs command `id` of the menu (ids of the command table; 0 does nothing).
void sh_command(sh_state& st, const sh_ui& ui, int id);

// The system-menu item "S&tart": the editor with the setting's own algorithm;
// the icon timer stays stopped afterwards.
void sh_sys_start_cmd(sh_state& st, const sh_ui& ui);

// --- the icon field -------------------------------------------------------

// Toolbar band (client y 45..76) and slot k = 1..10 at x 5+35(k-1)..36+35(k-1).
constexpr int sh_band_top = 45, sh_band_bottom = 76;
constexpr int sh_nslots = 10;
inline int sh_slot_x(int k) { return 5 + 35 * (k - 1); }
constexpr int sh_icon_size = 32;

// Icon names of the toolbar slots 1..10 (index 0 unused).
extern const char* const sh_slot_icon[sh_nslots + 1];
// The empty algorithm's icon and its place.
constexpr const char* sh_empty_icon = "ALGEMPTY";
constexpr int sh_empty_x = 355, sh_empty_y = 85;

enum sh_hitkind { sh_hit_none, sh_hit_slot, sh_hit_row };
struct sh_hit {
    sh_hitkind kind = sh_hit_none;
    int n = 0;  // slot 1..10 or row 0..22
};

// What a left click at client (x, y) hits. In the band a slot is found
// first; Shift on the band outside a slot hits nothing. Elsewhere the icons
// of the algorithm rows (Multiple play sits in the band as slot 8); the
// empty space of the first and third icon rows (y < 45, 85 <= y < 117) is
// the empty algorithm.
sh_hit sh_hittest(int x, int y, bool shift);

// Outcome of a click or command for the window.
enum sh_result { sh_res_none, sh_res_quit };

// A left click: the slot's action or help, or the row's editor or help.
sh_result sh_click(sh_state& st, const sh_ui& ui, int x, int y, bool shift);

// The help message box of toolbar slot k (all slots but 6 and 8, which show
// an information page).
sh_question sh_slot_help(const sh_state& st, int k);

// --- the rest ---------------------------------------------------------------

// "Voice &Numbers" after its dialog: the voice maximum, the mixer shift and
// the Voices scroll bar's upper bound.
void sh_set_voices(sh_state& st, int maxv);

// The two boxes of "&Parameters".
sh_question sh_info_buffers(const sh_state& st);
sh_question sh_info_setting(const sh_state& st);

// The device chosen by "&Output Device": probe it, report a failure,
// derive the 16-bit stereo flags.
void sh_select_device(sh_state& st, const sh_ui& ui, uint32_t devno);

// The probe at window creation. Returns the intro flag: 0 no sound, 2 the
// mapper answered, 4 only device 0 answered; one more with 16-bit stereo.
int sh_probe_at_start(sh_state& st, const sh_ui& ui);
// The start-up question for an intro flag: with sound (Yes/No/Cancel) when
// the flag is above 0, else without sound (Yes/No).
sh_question sh_intro_question(int introcap);
// The flag after the answer: No gives 0 (with sound) or -1 (without), Cancel -1.
int sh_intro_answer(int introcap, sh_answer a);

// The questions of a close request in the order they are asked: the
// recording, the unsaved sample, else the thank-you box.
std::vector<sh_question> sh_close_questions(const sh_state& st);
// Asks them; true when every answer was Yes (the program ends).
bool sh_close_request(const sh_state& st, const sh_ui& ui);

// Period of the icon timer after a command, ms.
int sh_icon_period(const sh_state& st);
