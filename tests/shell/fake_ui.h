// A window system that records what the commands ask for and answers from
// scripts, for the dispatch tests.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "shell/commands.h"

struct fake_ui {
    std::vector<sh_question> messages;    // every box shown
    std::deque<sh_answer> answers;        // answers in order; Yes/OK when empty
    std::vector<std::string> dialogs;     // descr of every parameter dialog
    std::deque<std::vector<pd_code>> scrolls;  // what the user does in each dialog
    std::deque<bool> cancels;             // whether each dialog ends with Cancel
    std::vector<int> editors;             // rows the editor opened with
    std::vector<std::string> helps;       // information pages
    std::vector<uint32_t> probes;         // devices probed
    bool (*probe_result)(uint32_t, sh_woc&) = nullptr;
    int state_algomod_at_editor = -99;
    std::vector<sh_filereq> filereqs;     // every file dialog, as asked
    std::deque<std::string> files;        // paths chosen in order; a dialog without one is cancelled
    std::deque<int> filters;              // file types chosen in the dialogs (else left as proposed)

    sh_ui ui(sh_state& st) {
        sh_ui u;
        u.message = [this](const sh_question& q) {
            messages.push_back(q);
            if (answers.empty()) return q.buttons == sh_btn_ok || q.buttons == sh_btn_okcancel
                                            ? sh_ans_ok : sh_ans_yes;
            sh_answer a = answers.front();
            answers.pop_front();
            return a;
        };
        u.pardlg = [this](const pardef& pd) {
            dialogs.push_back(pd.descr);
            pardlg d;
            pardlg_open(d, pd);
            if (!scrolls.empty()) {
                for (pd_code c : scrolls.front()) pardlg_scroll(d, c, 0);
                scrolls.pop_front();
            }
            if (!cancels.empty()) {
                if (cancels.front()) pardlg_cancel(d);
                cancels.pop_front();
            }
        };
        u.editor = [this, &st](int row) {
            editors.push_back(row);
            state_algomod_at_editor = st.algomod;
        };
        u.help = [this](const std::string& n) { helps.push_back(n); };
        u.probe = [this](uint32_t devno, sh_woc& caps) {
            probes.push_back(devno);
            return probe_result ? probe_result(devno, caps) : false;
        };
        u.filedlg = [this](sh_filereq& req) {
            filereqs.push_back(req);
            if (files.empty()) return false;
            req.path = files.front();
            files.pop_front();
            if (!filters.empty()) {
                req.filter = filters.front();
                filters.pop_front();
            }
            return true;
        };
        return u;
    }
};
