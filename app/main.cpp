// Start-up: the application object, the main window, the About box and the
// memo window (both hidden), then the message loop.
#include "app/Application.h"
#include "app/Unit1.h"
#include "windows/Unit2.h"
#include "windows/Unit3.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    configureApplication(app);

    Form1 = new TForm1;
    Form1->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(Form1, &QObject::destroyed, &app, &QApplication::quit);
    Form2 = new TForm2;
    Form3 = new TForm3;

    Form1->show();
    const int result = app.exec();
    delete Form3;
    delete Form2;
    return result;
}
