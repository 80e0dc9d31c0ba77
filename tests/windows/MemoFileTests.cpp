// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// The memo file codec: code page 932 both ways, line breaks, the zero byte,
// and saving that never leaves a half-written file behind.
#include "WorkingFolder.h"

#include "base/PlanixError.h"
#include "windows/Cp932.h"
#include "windows/MemoFile.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace Qt::StringLiterals;

// Shift-JIS bytes written out, so the expectations do not come from the codec.
QByteArray sjis(const char* hex) { return QByteArray::fromHex(hex); }

TEST(Cp932, DecodesAndEncodesKanaKanjiAndFullWidthSigns)
{
    // ソ 表 能 予 end in 0x5C, ポ and － in 0x7C: trail bytes that are also ASCII.
    const QByteArray bytes = sjis("835c955c945c975c837c817c"
                                  "8140815f81608740"
                                  "41425c7e");
    const QString text = u"ソ表能予ポ－\u3000＼～①AB\\~"_s;
    EXPECT_EQ(decodeCp932(bytes), text);
    const Cp932Encoding encoded = encodeCp932(text);
    EXPECT_FALSE(encoded.unencodable.has_value());
    EXPECT_EQ(encoded.bytes.toHex(), bytes.toHex());
}

TEST(Cp932, BytesThatStartNoCharacterBecomeReplacementCharacters)
{
    // 0x80 and 0xA0 are unassigned; a lead byte at the very end is cut off.
    EXPECT_EQ(decodeCp932(sjis("41804220a043")), u"A\uFFFDB \uFFFDC"_s);
    EXPECT_EQ(decodeCp932(sjis("835c83")), u"ソ\uFFFD"_s);
    EXPECT_EQ(decodeCp932(QByteArray()), QString());
}

TEST(Cp932, ACharacterTheCodePageLacksStopsTheEncoding)
{
    const Cp932Encoding euro = encodeCp932(u"価格 100€ です"_s);
    EXPECT_TRUE(euro.bytes.isEmpty());
    ASSERT_TRUE(euro.unencodable.has_value());
    EXPECT_EQ(*euro.unencodable, U'€');

    const Cp932Encoding emoji = encodeCp932(u"足😀é"_s);
    ASSERT_TRUE(emoji.unencodable.has_value());
    EXPECT_EQ(*emoji.unencodable, U'😀');
}

TEST(Cp932, LongTextsConvertWhole)
{
    QString text;
    for (int i = 0; i < 20000; ++i)
        text += u"足裏の面積 "_s;
    const Cp932Encoding encoded = encodeCp932(text);
    ASSERT_FALSE(encoded.unencodable.has_value());
    EXPECT_EQ(encoded.bytes.size(), 20000 * 11);
    EXPECT_EQ(decodeCp932(encoded.bytes), text);
}

TEST(MemoText, EveryKindOfLineBreakBecomesCrLf)
{
    EXPECT_EQ(normaliseLineBreaks(u"a\nb\rc\r\nd\n\re\r\r\n"_s), u"a\r\nb\r\nc\r\nd\r\n\r\ne\r\n\r\n"_s);
    EXPECT_EQ(normaliseLineBreaks(u"\n"_s), u"\r\n"_s);
    EXPECT_EQ(normaliseLineBreaks(u"no break"_s), u"no break"_s);
}

TEST(MemoText, BreaksAfterTwoByteCharactersWithAsciiTrailBytes)
{
    // "ソ" LF "表" CR "ポ" CR LF: the 0x5C and 0x7C trail bytes stay in their characters.
    EXPECT_EQ(memoTextFromBytes(sjis("835c0a955c0d837c0d0a")), u"ソ\r\n表\r\nポ\r\n"_s);
}

TEST(MemoText, AZeroByteEndsTheText)
{
    EXPECT_EQ(memoTextFromBytes(sjis("835c0a00955c0a")), u"ソ\r\n"_s);
    EXPECT_EQ(memoTextFromBytes(sjis("00835c")), QString());
    EXPECT_EQ(memoTextFromBytes(QByteArray()), QString());
}

using MemoFileOnDisk = WorkingFolder;

TEST_F(MemoFileOnDisk, AMissingFileReadsAsNothing)
{
    EXPECT_FALSE(readMemoFile(memoFileName).has_value());
    ASSERT_TRUE(QDir().mkdir(memoFileName));
    EXPECT_FALSE(readMemoFile(memoFileName).has_value());
}

TEST_F(MemoFileOnDisk, AnUnencodableCharacterWritesNothing)
{
    writeBytes(memoFileName, "old notes\r\n");
    try {
        writeMemoFile(memoFileName, u"new notes €\r\n"_s);
        FAIL() << "no error";
    } catch (const PlanixError& error) {
        EXPECT_EQ(error.message(), u"文字 「€」(U+20AC) は保存できません"_s);
    }
    EXPECT_EQ(readBytes(memoFileName), "old notes\r\n");
    EXPECT_EQ(QDir().entryList(QDir::Files), QStringList{memoFileName});
}

TEST_F(MemoFileOnDisk, AFileThatCannotBeCreatedIsReported)
{
    ASSERT_TRUE(QDir().mkdir(memoFileName)); // the name is taken by a folder
    try {
        writeMemoFile(memoFileName, u"notes"_s);
        FAIL() << "no error";
    } catch (const PlanixError& error) {
        EXPECT_EQ(error.message(), u"ファイル PLANIX.TXT を作成できません"_s);
    }
    try {
        writeMemoFile(u"no such folder/PLANIX.TXT"_s, u"notes"_s);
        FAIL() << "no error";
    } catch (const PlanixError& error) {
        EXPECT_EQ(error.message(), u"ファイル no such folder/PLANIX.TXT を作成できません"_s);
    }
}

TEST_F(MemoFileOnDisk, OnlyARegularFileOfSaneSizeIsReadAndReplaced)
{
    // A pipe would block the reader, /dev/zero feed it without end.
    ASSERT_EQ(::mkfifo("fifo", 0644), 0);
    ASSERT_EQ(::symlink("fifo", memoFileName.toLatin1().constData()), 0);
    EXPECT_FALSE(readMemoFile(memoFileName).has_value());
    EXPECT_THROW(writeMemoFile(memoFileName, u"notes"_s), PlanixError);
    struct stat fifo { };
    EXPECT_TRUE(::stat("fifo", &fifo) == 0 && S_ISFIFO(fifo.st_mode)) << "still the pipe";
    ASSERT_TRUE(QFile::remove(memoFileName));
    ASSERT_TRUE(QFile::link(u"/dev/zero"_s, memoFileName));
    EXPECT_FALSE(readMemoFile(memoFileName).has_value());
    ASSERT_TRUE(QFile::remove(memoFileName));

    writeBytes(u"big"_s, "x");
    ASSERT_EQ(::truncate("big", maxMemoFileBytes + 1), 0);
    ASSERT_TRUE(QFile::link(u"big"_s, memoFileName));
    EXPECT_FALSE(readMemoFile(memoFileName).has_value());

    // A link to a regular file: the file is replaced, the link stays.
    writeBytes(u"notes.txt"_s, "old");
    ASSERT_TRUE(QFile::remove(memoFileName));
    ASSERT_TRUE(QFile::link(u"notes.txt"_s, memoFileName));
    EXPECT_EQ(readMemoFile(memoFileName), u"old"_s);
    writeMemoFile(memoFileName, u"new\r\n"_s);
    EXPECT_TRUE(QFileInfo(memoFileName).isSymLink());
    EXPECT_EQ(readBytes(u"notes.txt"_s), "new\r\n");
}

// Limits the size of the files this process writes (a disk that fills up).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved);
        previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
    }

private:
    rlimit saved{};
    void (*previousHandler)(int) = nullptr;
};

TEST_F(MemoFileOnDisk, AWriteThatStopsShortLeavesTheOldFileWhole)
{
    writeBytes(memoFileName, "old notes\r\n");
    const QString longText = QString(u"足裏の面積\r\n"_s).repeated(1000);
    try {
        FileSizeLimit limit(100);
        writeMemoFile(memoFileName, longText);
        FAIL() << "no error";
    } catch (const PlanixError& error) {
        EXPECT_EQ(error.message(), u"ストリームへの書き込みエラー"_s);
    }
    EXPECT_EQ(readBytes(memoFileName), "old notes\r\n");
    EXPECT_EQ(QDir().entryList(QDir::Files), QStringList{memoFileName}); // no temporary file left
}

// Runs as an ordinary user while alive, so that folder permissions apply to a
// test run by root.
class OrdinaryUser {
public:
    OrdinaryUser()
    {
        if (geteuid() == 0)
            switched = seteuid(65534) == 0; // nobody
    }
    ~OrdinaryUser()
    {
        if (switched)
            (void)seteuid(0);
    }
    bool permissionsApply() const { return switched || geteuid() != 0; }

private:
    bool switched = false;
};

TEST_F(MemoFileOnDisk, SavingIntoAReadOnlyFolderLeavesTheOldFileWhole)
{
    writeBytes(memoFileName, "old notes\r\n");
    const QString folder = QDir::currentPath();
    ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther
                                                  | QFileDevice::ExeOther | QFileDevice::ReadGroup
                                                  | QFileDevice::ExeGroup));
    QString message;
    bool permissionsApplied = false;
    {
        OrdinaryUser user;
        permissionsApplied = user.permissionsApply();
        try {
            writeMemoFile(memoFileName, u"new notes\r\n"_s);
        } catch (const PlanixError& error) {
            message = error.message();
        }
    }
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (!permissionsApplied)
        GTEST_SKIP() << "cannot leave root here, so folder permissions do not apply";
    EXPECT_EQ(message, u"ファイル PLANIX.TXT を作成できません"_s);
    EXPECT_EQ(readBytes(memoFileName), "old notes\r\n");
}

TEST_F(MemoFileOnDisk, AWritableFileInAReadOnlyFolderIsRewrittenInPlace)
{
    writeBytes(memoFileName, "old notes, longer than the new\r\n");
    ASSERT_TRUE(QFile::setPermissions(memoFileName, QFile::permissions(memoFileName) | QFileDevice::WriteGroup
                                                        | QFileDevice::WriteOther));
    const QString folder = QDir::currentPath();
    ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther
                                                  | QFileDevice::ExeOther | QFileDevice::ReadGroup
                                                  | QFileDevice::ExeGroup));
    bool permissionsApplied = false;
    {
        OrdinaryUser user;
        permissionsApplied = user.permissionsApply();
        EXPECT_NO_THROW(writeMemoFile(memoFileName, u"new notes\r\n"_s));
    }
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (!permissionsApplied)
        GTEST_SKIP() << "cannot leave root here, so folder permissions do not apply";
    EXPECT_EQ(readBytes(memoFileName), "new notes\r\n");
}

} // namespace
