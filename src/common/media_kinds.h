#pragma once
// Media kinds by extension. Lists begin and end with ";" and hold lower-case extensions;
// e belongs to list L when L contains ";" + e + ";". The tests never touch the disk
// (except isMoreFormatsOn) and never apply wildcards.
#include <QString>

inline const QString kPlayableList = QStringLiteral(
    ";flv;ape;ac3;aac;mpv;mpa;mpc;mp1;mp2;pcm;dts;avi;dat;mpg;mpeg;m1v;m2v;m3v;m4v;wmv;asf;divx;"
    "mov;qt;3gp;rm;ram;rmvb;rmv;vob;ifo;wav;wma;ra;rma;m1a;m2a;m3a;m4a;mp3;mp4;ogg;ogm;cda;mkv;");
inline const QString kAudioList =
    QStringLiteral(";ape;wav;pcm;wma;ra;rma;m1a;m2a;m3a;m4a;mpa;mpc;mp1;mp2;mp3;ac3;aac;dts;ogg;");
// The editable list is this followed by MoreFormats (editableList()).
inline const QString kEditableBaseList = QStringLiteral(";flv;mpg;mpeg;dat;vob;");
inline const QString kMoreFormatsList = QStringLiteral(";avi;mp4;3gp;mov;wmv;asf;");
inline const QString kUrlSchemeList = QStringLiteral(";http;https;rtsp;mms;pnm;");
// Patterns for the open dialog only ("?" is a one-character wildcard there).
inline const QString kPlayablePatternList = QStringLiteral(
    ";flv;ape;mpeg;wm?;asf;wav;pcm;mid;m?v;m?a;mp?;avi;ra;rm;rm?;ram;rmvb;rpm;mov;qt;3gp;au;snd;"
    "cda;dat;divx;vob;ifo;ac3;aac;dts;og?;mkv;");
inline const QString kPicturePatternList =
    QStringLiteral(";jpg;jpeg;jpe;gif;bmp;png;wmf;emf;ico;cur;");
// The marker file in ProgramFolder that turns MoreFormats on.
inline const QString kMoreFormatsMarker = QStringLiteral("I want more.ico");

// kEditableBaseList + MoreFormats.
QString editableList();
// True when the non-empty extension e (compared in lower case) is a field of list.
bool inExtensionList(const QString& list, const QString& e);

bool isMediaFile(const QString& path);     // a text without "." is a bare extension
bool isAudioFile(const QString& path);     // likewise
bool isEditableFile(const QString& path);  // "": the file open in the player (host.h)
bool isUrl(const QString& text);           // "": the file open in the player
bool isMoreFormatsOn();                    // the marker file is in ProgramFolder
