// The menu bar: Exit, Open, About, Help.
#include "app/Main.h"

void Main::mnuExit_Click() {}
void Main::mnuOpen_Click() {}
void Main::mnuAbout_Click() {}
void Main::mnuHelp_Click() {}
