// Sending the transmit text and the clipboard to the PIC.
#include "app/Main.h"

void Main::Command16_Click() {}
void Main::Command4_Click() {}
