// A failed tool's output read as its reason, and the error message made of it: the lines
// below are what ffmpeg 5.1 and flvmdi print.
#include <gtest/gtest.h>

#include <cerrno>

#include "flv/diag.h"
#include "qstring_print.h"
#include "tools/tool_failure.h"
#include "tools/tool_texts.h"

using namespace tools;

namespace {

const ToolTexts& fix() { return toolTexts(Tool::Fix); }

TEST(ToolFailure, AFullDiskIsSaidAsSuchForFfmpegAndFlvmdiAlike) {
    const QString ffmpeg = QStringLiteral(
        "av_interleaved_write_frame(): No space left on device\n"
        "Error writing trailer of file:out.flv: No space left on device\n"
        "Error closing file file:out.flv: No space left on device\n");
    // flvmdi's own line comes from its diagnostic for ENOSPC.
    const QString flvmdi = QStringLiteral("flvmdi: /v/a.flv: ") +
                           QString::fromStdString(flv::ioDiag("write", ENOSPC).text()) +
                           QStringLiteral("\n");
    EXPECT_TRUE(flvmdi.contains(QStringLiteral(": E302 write: ")));
    for (const QString& out : {ffmpeg, flvmdi}) {
        const ToolFailure f = readFailure(out);
        EXPECT_EQ(f.cause, FailureCause::DiskFull) << out.toStdString();
        const QString text = jobErrorText(fix(), f, QStringLiteral("/media/usb"),
                                          QStringLiteral("/media/usb/clips/"));
        EXPECT_EQ(text, QStringLiteral("出現錯誤，無法成功處理檔案\r\n\r\n") +
                            diskFullText(QStringLiteral("/media/usb"),
                                         QStringLiteral("/media/usb/clips/")));
        EXPECT_TRUE(text.contains(QStringLiteral("磁碟「/media/usb」的空間已滿")));
        EXPECT_FALSE(text.contains(QStringLiteral("可能是檔案格式不支援")));
    }
    EXPECT_EQ(flv::ioDiag("write", EDQUOT).code, flv::DiagCode::NoSpace);
    EXPECT_EQ(flv::ioDiag("write", EIO).code, flv::DiagCode::Io);
}

TEST(ToolFailure, FlvmdisDiagnosticIsTranslatedWithItsOwnLineBelow) {
    const ToolFailure f = readFailure(QStringLiteral(
        "out_time_us=0\nflvmdi: /o/j.flv: E108 /v/b.flv has video codec 7, audio codec 10 at "
        "44100 Hz mono, /v/a.flv has video codec 7, audio codec 10 at 44100 Hz stereo\n"));
    EXPECT_EQ(f.cause, FailureCause::FlvmdiDiag);
    ASSERT_TRUE(f.diag);
    EXPECT_EQ(*f.diag, flv::DiagCode::StreamsDiffer);
    const QString text = jobErrorText(toolTexts(Tool::Join), f, {}, {});
    EXPECT_TRUE(text.contains(diagText(flv::DiagCode::StreamsDiffer)));
    EXPECT_TRUE(text.contains(QStringLiteral("（flvmdi：E108 /v/b.flv has video codec 7")));
    EXPECT_FALSE(text.contains(QStringLiteral("可能是檔案格式不支援")));

    // Every code flvmdi prints is read back as itself and has its own words.
    for (int c = 0; c <= static_cast<int>(flv::DiagCode::NoSpace); ++c) {
        const auto code = static_cast<flv::DiagCode>(c);
        EXPECT_EQ(flv::diagCodeFromId(flv::diagCodeId(code)), code);
        EXPECT_FALSE(diagText(code).isEmpty());
    }
    EXPECT_FALSE(flv::diagCodeFromId("E999"));
    EXPECT_EQ(readFailure(QStringLiteral("flvmdi: x.flv: E999 what\n")).cause,
              FailureCause::ToolLine);
}

TEST(ToolFailure, FfmpegsFirstErrorLineFollowsTheFormatLine) {
    const ToolFailure f = readFailure(QStringLiteral(
        "[mpeg @ 0x55d0c0a3f2c0] Sample rate 11025 not supported\n"
        "Could not write header for output file #0 (incorrect codec parameters ?): Invalid "
        "argument\nConversion failed!\n"));
    EXPECT_EQ(f.cause, FailureCause::ToolLine);
    EXPECT_EQ(f.line, QStringLiteral("Sample rate 11025 not supported"));
    EXPECT_EQ(jobErrorText(toolTexts(Tool::Encode), f, {}, {}),
              QStringLiteral("出現錯誤，無法成功處理檔案\r\n\r\n可能是檔案格式不支援進一步的轉檔"
                             "\r\n（工具程式的訊息：Sample rate 11025 not supported）"));

    // A run at the verbose level tags its lines: the first error line is still the reason.
    const ToolFailure tagged = readFailure(QStringLiteral(
        "[verbose] Input #0, mpeg, from 'file:a.mpg':\n[info]   Stream #0:0 Video: mpeg1video\n"
        "[mpeg @ 0x55d0c0a3f2c0] [error] Sample rate 11025 not supported\n"
        "[error] Conversion failed!\n"));
    EXPECT_EQ(tagged.line, QStringLiteral("Sample rate 11025 not supported"));

    // Nothing said: the message of old.
    const ToolFailure none = readFailure(QStringLiteral("\n  \n"));
    EXPECT_EQ(none.cause, FailureCause::Unknown);
    EXPECT_EQ(jobErrorText(fix(), none, {}, {}), jobErrorText(fix()));
}

}  // namespace
