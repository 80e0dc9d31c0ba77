#pragma once
// Opening a named picture file in the main window exactly as the open command
// does when the user chooses that file in its dialog: the same steps, the
// same history save, the same error box on failure.
#include <QString>

class TForm1;

// Runs the open command with its dialog answering fileName (made absolute, as
// the dialog's names are) at once; the dialog is given back afterwards and
// starts from that name next time, as after a real choice.
void openAsChosen(TForm1& form, const QString& fileName);

// openAsChosen once the window, shown just now, has its place on the screen.
void openOnceShown(TForm1& form, const QString& fileName);
