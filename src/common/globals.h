#pragma once
// Application-wide texts set at start-up and read everywhere.
#include <QString>

// Folder of the program file, ending in "/".
extern QString ProgramFolder;
// The user's private temporary folder (see privateTempFolder), ending in "/"; the
// ProgramFolder when there is none.
extern QString TempFolder;
// Empty, or kMoreFormatsList when the marker file is in ProgramFolder (isMoreFormatsOn).
extern QString MoreFormats;
