// The "＝" button: measured dots x reference area / reference dots.
#include "app/Unit1.h"

void TForm1::Button1Click(QObject*) {}

long double roundToDigits(std::int32_t, long double value) { return value; }
