#include "common/globals.h"

QString ProgramFolder;
QString TempFolder;
QString MoreFormats;
