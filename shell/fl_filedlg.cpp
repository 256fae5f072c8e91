#include "shell/fl_filedlg.h"

#include <FL/Fl_Native_File_Chooser.H>

#include <cstdlib>

#include "shell/fl_msg.h"

namespace {

// The four file types in the order of their filter index.
const char* const filters =
    "Random Overlap\t*.{ROV,rov}\n"
    "Wave\t*.{WAV,wav}\n"
    "Setup\t*.{ini,INI}\n"
    "HarddiscRec\t*.{WAV,wav}";

}  // namespace

bool fl_filedlg(sh_filereq& req) {
    fl_hook("file-dialog save=" + std::to_string(req.save ? 1 : 0) + " filter=" + std::to_string(req.filter) +
            " path=" + fl_hook_quote(req.path) + " dir=" + fl_hook_quote(req.dir));
    if (fl_test_hook()) {
        const char* answer = std::getenv("TESSELLON_TEST_FILE");
        if (!answer || !*answer) return false;
        req.path = answer;
        return true;
    }
    Fl_Native_File_Chooser fc;
    fc.title(req.save ? "Save" : "Load");
    fc.type(req.save ? Fl_Native_File_Chooser::BROWSE_SAVE_FILE : Fl_Native_File_Chooser::BROWSE_FILE);
    if (req.save) fc.options(Fl_Native_File_Chooser::SAVEAS_CONFIRM | Fl_Native_File_Chooser::NEW_FOLDER);
    fc.filter(filters);
    fc.filter_value(req.filter >= 1 && req.filter <= 4 ? req.filter - 1 : 0);
    fc.directory(req.dir.c_str());
    // The proposal is a name in the folder, or a full path.
    const auto slash = req.path.find_last_of('/');
    const std::string name = slash == std::string::npos ? req.path : req.path.substr(slash + 1);
    if (slash != std::string::npos) fc.directory(req.path.substr(0, slash).c_str());
    if (!name.empty()) fc.preset_file(name.c_str());
    if (fc.show() != 0) return false;  // cancelled (1) or failed (-1)
    const char* chosen = fc.filename();
    if (!chosen || !*chosen) return false;
    req.path = chosen;
    req.filter = fc.filter_value() + 1;
    return true;
}
