// The setup parameter dialog "DLGPARS" as an FLTK window.
#pragma once

#include "shell/pardef.h"

// Runs the dialog modally on `pd`; returns when it ends. *pd.pval holds the
// result ("&Cancel" has put the old value back).
void fl_pardlg_run(const pardef& pd);
