// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// Replays the fuzzers' corpora through the readers, so that every input a
// fuzzer kept is checked on every build without a fuzzer: each file must end
// in a picture (drawn once) or in the program's own error, never a crash or
// another exception.
#include "surface/readers/PictureFile.h"
#include "base/PlanixError.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

namespace {

const QStringList readerFolders = {"bmp", "ico", "jpeg", "wmf", "emf"};

Picture readAs(const QString& folder, const QByteArray& bytes)
{
    if (folder == u"bmp")
        return readBmp(bytes);
    if (folder == u"ico")
        return readIcon(bytes);
    if (folder == u"jpeg")
        return readJpeg(bytes);
    return readMetafile(bytes, folder == u"emf");
}

QDir corpus() { return QDir(QStringLiteral(PLANIX_FUZZ_CORPUS)); }

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

// True when the file gave a picture, false when the reader refused it.
bool replay(const QString& folder, const QByteArray& bytes)
{
    try {
        const Picture picture = readAs(folder, bytes);
        QImage target(40, 30, QImage::Format_RGB32);
        target.fill(Qt::white);
        picture.stretchDraw(target, QRect(-3, -2, 37, 29));
        return true;
    } catch (const PlanixError& e) {
        EXPECT_FALSE(e.message().isEmpty());
        return false;
    }
}

class CorpusReplay : public ::testing::TestWithParam<const char*> { };

TEST_P(CorpusReplay, EveryFileEndsInAPictureOrTheProgramsError)
{
    const QString folder = QString::fromUtf8(GetParam());
    const QDir dir(corpus().filePath(folder));
    if (!dir.exists() && folder != u"bmp" && folder != u"ico")
        GTEST_SKIP() << "no corpus for " << folder.toStdString();
    const QStringList files = dir.entryList(QDir::Files, QDir::Name);
    ASSERT_FALSE(files.isEmpty()) << folder.toStdString();
    int pictures = 0;
    for (const QString& name : files) {
        SCOPED_TRACE(name.toStdString());
        pictures += replay(folder, contentOf(dir.filePath(name))) ? 1 : 0;
    }
    RecordProperty("pictures", pictures);
    RecordProperty("refused", int(files.size()) - pictures);
}

INSTANTIATE_TEST_SUITE_P(Readers, CorpusReplay, ::testing::Values("bmp", "ico", "jpeg", "wmf", "emf"),
                         [](const auto& info) { return std::string(info.param); });

TEST(CorpusReplayFolders, EveryCorpusFolderNamesAReader)
{
    for (const QString& folder : corpus().entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        EXPECT_TRUE(readerFolders.contains(folder)) << "no reader for fuzz/corpus/" << folder.toStdString();
}

} // namespace
