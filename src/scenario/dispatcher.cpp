#include "window/form1.h"

void Form1::Command1_Click(std::int16_t) {}
