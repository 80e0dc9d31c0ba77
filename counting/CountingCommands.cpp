// The threshold submenu and the four counting commands.
#include "app/Unit1.h"

void TForm1::N101Click(QObject*) {}
void TForm1::N201Click(QObject*) {}
void TForm1::N301Click(QObject*) {}
void TForm1::N401Click(QObject*) {}
void TForm1::N501Click(QObject*) {}
void TForm1::N601Click(QObject*) {}
void TForm1::N701Click(QObject*) {}
void TForm1::N801Click(QObject*) {}
void TForm1::N901Click(QObject*) {}
void TForm1::akarusaClick(QObject*) {}
void TForm1::aoiroClick(QObject*) {}
void TForm1::midoriiroClick(QObject*) {}
void TForm1::akairoClick(QObject*) {}
void TForm1::deliverCount() {}
