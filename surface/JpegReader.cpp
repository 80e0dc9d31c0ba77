#include "surface/PictureFile.h"
#include "surface/PlanixError.h"

Picture readJpeg(const QByteArray&)
{
    throw PlanixError(QStringLiteral("JPEG エラー #%1").arg(0));
}
