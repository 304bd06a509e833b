// LumbaResFLV: writes the tools of one tool set into the user's private temporary folder.
// No window, no messages, no meaningful exit code: the player judges by the files.
#include <string>

#include "package/resources.h"
#include "package/writer.h"
#include "tempfolder/private_folder.h"

int main(int argc, char** argv) {
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) commandLine += ' ';
        commandLine += argv[i];
    }
    const auto set = package::toolSet(commandLine);
    if (set.empty()) return 0;
    const std::string folder = tempfolder::privateFolder(tempfolder::currentEnv());
    if (folder.empty()) return 0;
    for (const package::Resource* r : set) {
        // A failure ends the program; files written before it stay.
        if (!package::writeResource(folder, *r)) return 0;
    }
    return 0;
}
