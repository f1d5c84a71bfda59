// BMP save and load.
#include "app/Main.h"

void Main::Command8_Click() {
    fsave();
}
void Main::Command10_Click() {
    fload();
}
void Main::fsave() {}
void Main::fload() {}
