#include "surface/PictureFile.h"
#include "surface/PlanixError.h"

Picture readIcon(const QByteArray&)
{
    throw PlanixError(QStringLiteral("ストリームからの読み込みエラー"));
}
