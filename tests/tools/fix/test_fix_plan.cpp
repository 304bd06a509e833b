// The fix tool's plan on plain data: names, tool sets and the argument lists of each kind.
#include <gtest/gtest.h>

#include "qstring_print.h"
#include "tools/fix/fix_plan.h"
#include "tools/fix/path_box.h"

using namespace fix;

namespace {

const save::Tools kTools{QStringLiteral("/t/~tmpLmbFmg.exe"), QStringLiteral("/t/~tmpLmbFmd.exe")};

TEST(FixPlan, KindsToolSetsAndNames) {
    const FixPlan flv = makeFixPlan(QStringLiteral("/v/My Clip.FLV"), QStringLiteral("/o/a.flv"));
    EXPECT_EQ(flv.kind, tools::ToolKind::Flv);
    EXPECT_EQ(flv.toolSet, tools::ToolSet::Fix1);
    EXPECT_EQ(flv.ext, QStringLiteral("flv"));
    EXPECT_EQ(flv.repairInto, QStringLiteral("~fix~tmpSP.flv"));
    EXPECT_EQ(flv.touchedFiles(),
              (QStringList{QStringLiteral("/o/a.flv"), QStringLiteral("/o/~fix~tmpSP.flv")}));
    for (const char* e : {"mpeg", "mpg", "vob"})
        EXPECT_EQ(makeFixPlan(QStringLiteral("/v/a.") + e, QStringLiteral("/o/b")).toolSet,
                  tools::ToolSet::Fix2);
    for (const char* e : {"dat", "avi", "mp4"}) {
        const FixPlan p = makeFixPlan(QStringLiteral("/v/a.") + e, QStringLiteral("/o/b"));
        EXPECT_EQ(p.toolSet, tools::ToolSet::Fix3);
        EXPECT_TRUE(p.repairInto.isEmpty());
    }
    EXPECT_EQ(proposedName(QStringLiteral("/v/my clip.part.FLV")),
              QStringLiteral("my clip.part_fix.flv"));
}

TEST(FixPlan, OutputNamedLikeTheTemporaryFileIsWrittenDirectly) {
    // Moving the temporary file onto itself and cleaning it up would leave nothing.
    const FixPlan p = makeFixPlan(QStringLiteral("/v/a.flv"), QStringLiteral("/o/~fix~tmpSP.flv"));
    EXPECT_EQ(p.repairInto, QStringLiteral("/o/~fix~tmpSP.flv"));
}

TEST(FixPlan, FlvRepairKeepsBlanksInOneArgumentAndTheTemporaryNameUnquoted) {
    const Command c = repairCommand(kTools, QStringLiteral("/v/my clip \"x\".flv"),
                                    tempName(QStringLiteral("flv")));
    EXPECT_EQ(c.program, kTools.flvmdi);
    EXPECT_EQ(c.args,
              (QStringList{QStringLiteral("--repair"), QStringLiteral("/v/my clip \"x\".flv"),
                           QStringLiteral("~fix~tmpSP.flv")}));
    EXPECT_TRUE(c.text().endsWith(QStringLiteral(" ~fix~tmpSP.flv")));
    EXPECT_FALSE(tempName(QStringLiteral("flv")).contains(QLatin1Char('"')));
}

TEST(FixPlan, RemuxCopiesAfterTheInputAndWritesDatAsMpegProgramStream) {
    const Command c =
        remuxCommand(kTools, QStringLiteral("/v/-a b.dat"), QStringLiteral("/o/-a b_fix.dat"),
                     QStringLiteral("dat"), Audio::Copy);
    ASSERT_TRUE(c.ffmpeg);
    const QStringList& a = c.args;
    const qsizetype input = a.indexOf(QStringLiteral("-i"));
    ASSERT_GE(input, 0);
    EXPECT_EQ(a[input + 1], QStringLiteral("file:/v/-a b.dat"));
    // Options before -i are input options: "copy" there would be taken for a decoder.
    EXPECT_GT(a.indexOf(QStringLiteral("copy")), input);
    EXPECT_EQ(a.mid(a.size() - 3), (QStringList{QStringLiteral("-f"), QStringLiteral("mpeg"),
                                                QStringLiteral("file:/o/-a b_fix.dat")}));

    const Command mp3 = remuxCommand(kTools, QStringLiteral("/v/a.avi"), QStringLiteral("/o/b.avi"),
                                     QStringLiteral("avi"), Audio::Mp3);
    const QString text = mp3.args.join(QLatin1Char(' '));
    EXPECT_TRUE(text.contains(QStringLiteral("-c:v copy -c:a libmp3lame -b:a 64k -f avi")))
        << text.toStdString();
    // Covers only where they stay covers: AVI, ASF and MOV would drop or turn them into video.
    for (const char* ext : {"avi", "wmv", "mov", "mpg"})
        EXPECT_TRUE(remuxCommand(kTools, "/v/a", "/o/b", ext, Audio::Copy, Covers::Kept)
                        .args.contains(QStringLiteral("0:V?")))
            << ext;
    EXPECT_TRUE(remuxCommand(kTools, "/v/a", "/o/b", "MP4", Audio::Copy, Covers::Kept)
                    .args.contains(QStringLiteral("0:v?")));
}

TEST(PathBoxRule, DoubledSeparatorsReduced) {
    EXPECT_EQ(tools::singleSeparators(QStringLiteral("//v///a//b.flv")),
              QStringLiteral("/v/a/b.flv"));
}

}  // namespace
