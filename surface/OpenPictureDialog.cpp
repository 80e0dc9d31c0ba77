#include "surface/OpenPictureDialog.h"

#include <QFileDialog>

bool TOpenPictureDialog::Execute()
{
    const QString chosen = QFileDialog::getOpenFileName(owner, QString(), FileName, Filter);
    if (chosen.isEmpty())
        return false;
    FileName = chosen;
    return true;
}
