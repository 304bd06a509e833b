#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "common/globals.h"
#include "common/host.h"
#include "common/media_kinds.h"
#include "qstring_print.h"

namespace {

struct PlayingHost : AppHost {
    QString file;
    QString playingFile() override { return file; }
};

}  // namespace

TEST(MediaKinds, ExtensionsAreComparedInLowerCaseAndBareTextsAreExtensions) {
    EXPECT_TRUE(isMediaFile("/a/Movie.FLV"));
    EXPECT_FALSE(isMediaFile("/a/movie.flv.txt"));
    EXPECT_TRUE(isMediaFile("flv"));
    EXPECT_TRUE(isMediaFile("FLV"));
    EXPECT_FALSE(isMediaFile(".flv"));
    EXPECT_FALSE(isMediaFile(""));
    EXPECT_FALSE(isMediaFile("/a.flv/clip"));
    EXPECT_TRUE(isAudioFile("/m/Song.Mp3"));
    EXPECT_TRUE(isAudioFile("ogg"));
    EXPECT_FALSE(isAudioFile("/v/a.flv"));
}

TEST(MediaKinds, FieldSeparatorsInsideTheTextNeverMatch) {
    // "flv;mpg" would be found in the list text as two fields.
    EXPECT_FALSE(isMediaFile("/v/a.flv;mpg"));
    EXPECT_FALSE(isUrl("http;https://x"));
    // The empty extension must not match where MoreFormats is joined on.
    MoreFormats = kMoreFormatsList;
    EXPECT_FALSE(isEditableFile("/v/noext."));
    MoreFormats.clear();
}

TEST(MediaKinds, EditableWidensOnlyWithTheMarkerFile) {
    QTemporaryDir dir;
    ProgramFolder = dir.path() + u'/';
    MoreFormats.clear();
    EXPECT_FALSE(isMoreFormatsOn());
    EXPECT_FALSE(isEditableFile("/v/a.avi"));
    EXPECT_TRUE(isMediaFile("/v/a.avi"));
    EXPECT_TRUE(isEditableFile("/v/a.VOB"));

    QFile marker(ProgramFolder + kMoreFormatsMarker);
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.close();
    EXPECT_TRUE(isMoreFormatsOn());
    MoreFormats = kMoreFormatsList;  // what start-up does when the marker is there
    EXPECT_TRUE(isEditableFile("/v/a.avi"));
    EXPECT_TRUE(isEditableFile("mp4"));
    EXPECT_FALSE(isEditableFile("/v/a.mkv"));
    MoreFormats.clear();
    ProgramFolder.clear();
    EXPECT_FALSE(isMoreFormatsOn());
}

TEST(MediaKinds, UrlsNeedOneOfTheFiveSchemes) {
    for (const char* u : {"http://h/a.flv", "HTTPS://h/a", "rtsp://h/s", "Mms://h/s", "pnm://h/s"})
        EXPECT_TRUE(isUrl(QString::fromUtf8(u))) << u;
    EXPECT_FALSE(isUrl("C:\\a.flv"));
    EXPECT_FALSE(isUrl("ftp://h/a.flv"));
    EXPECT_FALSE(isUrl(":http"));
    EXPECT_FALSE(isUrl("/v/http:clip.flv"));
    EXPECT_FALSE(isUrl(""));
}

TEST(MediaKinds, EmptyArgumentMeansTheFilePlaying) {
    PlayingHost host;
    installAppHost(&host);
    EXPECT_FALSE(isEditableFile(""));
    host.file = "/v/clip.flv";
    EXPECT_TRUE(isEditableFile(""));
    EXPECT_FALSE(isUrl(""));
    host.file = "http://h/live";
    EXPECT_TRUE(isUrl(""));
    EXPECT_FALSE(isEditableFile(""));
    installAppHost(nullptr);
    EXPECT_FALSE(isUrl(""));
}

TEST(MediaKinds, ListsAreExactAndWellFormed) {
    for (const QString& l : {kPlayableList, kAudioList, kEditableBaseList, kMoreFormatsList,
                             kUrlSchemeList, kPlayablePatternList, kPicturePatternList}) {
        EXPECT_TRUE(l.startsWith(u';') && l.endsWith(u';')) << l.toStdString();
        EXPECT_FALSE(l.contains(QStringLiteral(";;"))) << l.toStdString();
        EXPECT_EQ(l, l.toLower());
    }
    // Every audio-only kind is playable, every editable one too.
    for (const QString& e :
         (kAudioList + kEditableBaseList + kMoreFormatsList).split(u';', Qt::SkipEmptyParts))
        EXPECT_TRUE(isMediaFile(e)) << e.toStdString();
    EXPECT_TRUE(inExtensionList(kPlayablePatternList, "wm?"));
    EXPECT_FALSE(isMediaFile("/v/a.wm?"));  // patterns are not kinds
}
