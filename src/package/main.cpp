// LumbaResFLV: writes the tools of one tool set into the user's private temporary folder.
// No window and nothing on screen. When it cannot write what it was asked for it says why on
// standard error and exits with 1, so the player fails the job instead of running missing
// tools.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "package/resources.h"
#include "package/writer.h"
#include "tempfolder/private_folder.h"

namespace {

int cannotWrite(const std::string& what, const char* reason) {
    std::fprintf(stderr, "LumbaResFLV: cannot write %s: %s\n", what.c_str(), reason);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) commandLine += ' ';
        commandLine += argv[i];
    }
    const auto set = package::toolSet(commandLine);
    if (set.empty()) return 0;  // nothing asked for
    const std::string folder = tempfolder::privateFolder(tempfolder::currentEnv());
    if (folder.empty())
        return cannotWrite(set.front()->fileName, "no private temporary folder of this user");
    for (const package::Resource* r : set) {
        // A failure ends the program; files written before it stay.
        errno = 0;
        if (!package::writeResource(folder, *r))
            return cannotWrite(folder + r->fileName,
                               errno ? std::strerror(errno) : "nothing embedded");
    }
    return 0;
}
