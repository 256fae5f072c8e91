// The algorithm routines; each is reached through the routine column of atab.
#pragma once

#include "engine/rov.h"

#define ROV_ALG(name) \
    void name(rov_handle* roh, int16_t* buffer, int32_t bufsz, int setnr, int tonr, \
              const int16_t* tab, intptr_t tablen)

ROV_ALG(ranov);  // random tones with adjustable panning
