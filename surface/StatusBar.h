#pragma once
// A status bar of fixed-width text panels (200 and 100 pixels) and an empty rest.
#include <QLabel>
#include <QStatusBar>
#include <vector>

class TStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit TStatusBar(QWidget* parent = nullptr);

    // Shows text in panel index; the text already shown again does nothing.
    void setPanelText(int index, const QString& text);
    QString panelText(int index) const;

private:
    std::vector<QLabel*> panels;
};
