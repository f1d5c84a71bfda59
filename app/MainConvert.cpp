// Convert and the Byte Matrix choice.
#include "app/Main.h"

void Main::Command9_Click() {}
void Main::Option2_Click(int) {}
