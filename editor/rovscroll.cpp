#include "editor/rovscroll.h"

rov_scrollrow rovscroll[16] = {
    {0, 256, 16, 16, 0},  {0, 256, 16, 256, 0}, {0, 1024, 32, 1, 0}, {0, 256, 16, 1, 0},
    {0, 256, 16, 256, 0}, {0, 128, 16, 128, 0}, {0, 128, 16, 1, 0},  {0, 128, 16, 1, 0},
    {0, 64, 8, 1, 0},     {0, 128, 16, 128, 0}, {0, 128, 16, 1, 0},  {0, 256, 16, 1, 0},
    {0, 256, 16, 256, 0}, {0, 50, 12, 1, 2},    {0, 255, 16, 1, 1},  {0, 128, 16, 1, 0},
};

void rovscroll_raise_voices(int maxv) {
    int bound = 16 * maxv;
    if (bound > 1024) bound = 1024;
    if (bound > rovscroll[0].physmax) rovscroll[0].physmax = static_cast<int16_t>(bound);
}
