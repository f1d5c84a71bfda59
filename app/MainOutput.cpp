// The output window's buttons.
#include "app/Main.h"

void Main::Command15_Click() {}
void Main::txtcase_Click() {}
void Main::Command11_Click() {}
void Main::Command12_Click() {}
void Main::Command13_Click() {}
void Main::Command14_Click() {}
