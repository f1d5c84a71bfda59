// PIC load parameters and the command header.
#include "app/Main.h"

#include <QListWidget>

bool Main::getparam(QString*) {
    return true;
}

void Main::List2_Click() {
    static const int buffers[] = {2, 4, 8, 16, 32, 64, 128};
    const int row = List2->currentRow();
    if (row >= 0 && row < static_cast<int>(std::size(buffers)))
        picBuffer = buffers[row];
}

void Main::List3_Click() {
    static const int delays[] = {5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 100};
    const int row = List3->currentRow();
    if (row >= 0 && row < static_cast<int>(std::size(delays)))
        picDelay = delays[row];
}

void Main::Text4_Change() {}
void Main::cmdApply_Click() {}
void Main::Check1_Click() {}
void Main::cmdlcd_Click() {}
