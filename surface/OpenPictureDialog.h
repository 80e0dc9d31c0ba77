#pragma once
// The picture-open dialog: modal, with the form's filter and a preview pane.
#include <QString>

class QWidget;

class TOpenPictureDialog {
public:
    explicit TOpenPictureDialog(QWidget* owner) : owner(owner) {}
    virtual ~TOpenPictureDialog() = default;

    // Runs the dialog; true with FileName set to the chosen full path when the
    // user confirmed a file, false on cancel.
    virtual bool Execute();

    QString Filter;
    QString FileName;

protected:
    QWidget* owner;
};
