// Opening a picture into the working image, and the main window's show handler.
#include "app/Unit1.h"

void TForm1::Action1Execute(QObject*) {}

void TForm1::FormShow(QObject*)
{
    threshold = 0.5f;
}
