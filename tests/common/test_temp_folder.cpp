#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "common/temp_folder.h"
#include "qstring_print.h"
#include "tempfolder/private_folder.h"

namespace {

QByteArray bytes(const QString& s) { return QFile::encodeName(s); }

QString uidName() { return QStringLiteral("Lumba.FLV-%1").arg(::getuid()); }

}  // namespace

TEST(PrivateTempFolder, PrefersTheRuntimeFolderAndCreatesIt0700) {
    QTemporaryDir runtime, tmp;
    const QString got = privateTempFolderFrom(bytes(runtime.path()), bytes(tmp.path()));
    EXPECT_EQ(got, runtime.path() + "/Lumba.FLV/");
    struct stat st;
    ASSERT_EQ(::lstat(bytes(got).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    // Asking again finds the same folder.
    EXPECT_EQ(privateTempFolderFrom(bytes(runtime.path() + "/"), bytes(tmp.path())), got);
}

TEST(PrivateTempFolder, FallsBackToTmpdirWithTheUserId) {
    QTemporaryDir tmp;
    EXPECT_EQ(privateTempFolderFrom("", bytes(tmp.path())), tmp.path() + "/" + uidName() + "/");
    EXPECT_EQ(privateTempFolderFrom(bytes(tmp.path() + "/no-such-runtime"), bytes(tmp.path())),
              tmp.path() + "/" + uidName() + "/");
}

TEST(PrivateTempFolder, NoBaseFolderGivesNothing) {
    QTemporaryDir tmp;
    EXPECT_EQ(privateTempFolderFrom("", bytes(tmp.path() + "/missing")), "");
    EXPECT_FALSE(QFileInfo::exists(tmp.path() + "/missing"));
}

TEST(PrivateTempFolder, RefusesASymlinkAFileAndAWorldWritableFolder) {
    QTemporaryDir tmp, elsewhere;
    const QString mine = tmp.path() + "/" + uidName();
    // A link planted under the expected name, pointing at a folder we own.
    ASSERT_TRUE(QFile::link(elsewhere.path(), mine));
    EXPECT_EQ(privateTempFolderFrom("", bytes(tmp.path())), "");
    ASSERT_TRUE(QFile::remove(mine));

    QFile plain(mine);
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    EXPECT_EQ(privateTempFolderFrom("", bytes(tmp.path())), "");
    ASSERT_TRUE(QFile::remove(mine));

    ASSERT_TRUE(QDir().mkdir(mine));
    ASSERT_EQ(::chmod(bytes(mine).constData(), 0777), 0);
    EXPECT_EQ(privateTempFolderFrom("", bytes(tmp.path())), "");
    ASSERT_EQ(::chmod(bytes(mine).constData(), 0700), 0);
    EXPECT_EQ(privateTempFolderFrom("", bytes(tmp.path())), mine + "/");
}

TEST(PrivateTempFolder, RefusesAFolderOfAnotherOwner) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to give a folder away";
    QTemporaryDir tmp;
    const QString mine = tmp.path() + "/" + uidName();
    ASSERT_TRUE(QDir().mkdir(mine));
    ASSERT_EQ(::chown(bytes(mine).constData(), 65534, 65534), 0);
    EXPECT_EQ(privateTempFolderFrom("", bytes(tmp.path())), "");
}

TEST(PrivateTempFolder, NamesTheFolderTheToolPackageWritesInto) {
    // LumbaResFLV derives the folder on its own; the player must look in the very same place,
    // also for bases spelt with extra slashes.
    QTemporaryDir tmp;
    for (const QString& base : {tmp.path(), tmp.path() + "//", "/" + tmp.path()}) {
        const QByteArray b = bytes(base);
        const tempfolder::FolderEnv env{nullptr, b.constData(), static_cast<unsigned>(::getuid())};
        EXPECT_EQ(privateTempFolderFrom("", b),
                  QFile::decodeName(QByteArray::fromStdString(tempfolder::privateFolder(env))))
            << qPrintable(base);
    }
}
