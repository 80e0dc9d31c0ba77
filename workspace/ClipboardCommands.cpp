// Copy and paste through the system clipboard.
#include "app/Unit1.h"

void TForm1::Edit1Click(QObject*) {}

void TForm1::Action3Execute(QObject*) {}

void TForm1::Action4Execute(QObject*) {}
