// The receive monitor and the terminal keys.
#include "app/Main.h"

void Main::Timer1_Timer() {}
void Main::Text1_Change() {}
void Main::Text2_KeyPress(int) {}
