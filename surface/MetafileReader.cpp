#include "surface/PictureFile.h"
#include "surface/PlanixError.h"

Picture readMetafile(const QByteArray&, bool)
{
    throw PlanixError(QStringLiteral("ストリームからの読み込みエラー"));
}
