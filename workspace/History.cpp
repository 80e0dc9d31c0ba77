// The one-slot history buffer and its restore command.
#include "app/Unit1.h"

void TForm1::rireki1() {}

void TForm1::rireki2() {}

void TForm1::f1Click(QObject*) { rireki2(); }
