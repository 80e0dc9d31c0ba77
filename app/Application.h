#pragma once
// Program-wide set-up of the application object: fonts, tooltip timing.
class QApplication;

void configureApplication(QApplication& app);
