// Pen drawing and text stamping on the canvas.
#include "app/Main.h"

void Main::Picture1_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, double, double) {}
void Main::Picture1_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, double, double) {}
void Main::Picture1_MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, double, double) {}
void Main::Command7_Click() {}
void Main::Command6_Click() {}
void Main::cmdfont_Click() {}
void Main::cmdtext_Click() {}
