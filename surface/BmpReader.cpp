#include "surface/PictureFile.h"
#include "surface/PlanixError.h"

Picture readBmp(const QByteArray&)
{
    throw PlanixError(QStringLiteral("ビットマップイメージが不正です"));
}
