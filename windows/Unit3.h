#pragma once
// The memo window: instructions and the user's notes, saved as PLANIX.TXT.
#include <QWidget>

class TForm3 : public QWidget {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);
};

extern TForm3* Form3;
