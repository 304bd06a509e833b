#pragma once
// The one object through which the program asks for files and folders: an open dialog (one
// file or several), a save dialog and a folder browser, shown through the prompts seam.
// Fields keep their values from one dialog to the next; callers set what they need first.
#include <QString>
#include <QStringList>
#include <cstdint>

class QWidget;

class CommDialog {
  public:
    QWidget* hwndOwner = nullptr;  // owner of the dialogs; nullptr: prompts::setOwner's
    QString DialogTitle;           // empty: the dialog's own title
    // The values start-up gives them. Only kOverwritePrompt of FlagsSave changes what the
    // dialogs do here; the others are kept for callers that read them.
    std::uint32_t FlagsDir = 0x64;
    std::uint32_t FlagsOpen = 0x81004;
    std::uint32_t FlagsSave = 6;
    QString DirName;     // last folder chosen in the folder browser, ends in "/"
    QString InitDir;     // where the next dialog starts; empty: the folder the last one ended in
    QString FileName;    // offered by the save dialog; full path of the last single choice
    QString DefaultExt;  // appended by the save dialog when the user types no extension

    // "description|patterns|description|patterns...", patterns separated by ";".
    QString Filter() const { return filter_; }
    void setFilter(const QString& filter);
    // The filter in the form the dialogs take (toQtFilter).
    QString qtFilter() const { return qtFilter_; }

    // Counting from 1; reading it while it is 0 makes it 1.
    int FilterIndex();
    void setFilterIndex(int index) { filterIndex_ = index; }

    QString FileTitle() const { return fileTitle_; }      // file name of the last single choice
    QString FileExt() const { return fileExt_; }          // its extension, lower case
    QStringList FileArray() const { return fileArray_; }  // full paths of the last multiple choice

    // The chosen path; with isMultiSelect the number of files chosen as text (paths in
    // FileArray). "" on cancel. then_NoUse_InitDir: after a confirmed dialog InitDir is
    // emptied, so the next dialog starts in the folder this one ended in.
    QString ShowOpen(bool then_NoUse_InitDir = false, bool isMultiSelect = false);
    QString ShowSave(bool then_NoUse_InitDir = false);
    // The chosen folder ending in "/", "" on cancel.
    QString ShowDir(bool then_NoUse_InitDir = false);

    // The folder the last confirmed dialog ended in ("" before the first).
    QString lastFolder() const { return lastFolder_; }

  private:
    QString startFolder();
    QString runFile(bool save, bool many, bool then_NoUse_InitDir);

    QString filter_;
    QString qtFilter_;
    int filterIndex_ = 0;
    QString fileTitle_;
    QString fileExt_;
    QStringList fileArray_;
    QString lastFolder_;
};

// The one shared instance.
CommDialog& commDialog();

// "desc|*.a;*.b;|desc2|*.*" becomes "desc (*.a *.b);;desc2 (*.*)": the pattern group last,
// ";" turned into spaces. A final "|" adds nothing; a description without patterns at the
// end is dropped; a pair with empty patterns gets "*".
QString toQtFilter(const QString& filter);

// Open-dialog flag: several files may be chosen.
inline constexpr std::uint32_t kAllowMultiSelect = 0x200;
// Save-dialog flag: ask before replacing a file.
inline constexpr std::uint32_t kOverwritePrompt = 0x2;
