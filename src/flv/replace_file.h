#pragma once
// A new file beside an existing one that replaces it atomically: unnamed (O_TMPFILE) while
// it is written, so an interrupted run leaves nothing behind; given a name only to be
// renamed over the original at once.
#include <sys/stat.h>

#include <string>

#include "flv/diag.h"
#include "flv/io.h"

namespace flv {

// Where the new file lives until it is committed.
enum class TempKind {
    UnnamedIfSupported,  // O_TMPFILE, else a hidden named file
    Named,               // always the hidden named file (file systems without O_TMPFILE)
};

// A stop signal (SIGTERM, SIGINT, SIGHUP) removes the named temporaries still in progress
// before the process ends as the signal would end it; without this, a stopped job on a file
// system without unnamed files leaves a hidden half-written file behind. An input file cut
// short meanwhile (SIGBUS on its mapping) removes them too, then exits with status 1 and one
// line on standard error.
void removeTemporariesOnStop();

class ReplacementFile {
  public:
    // folder and name: where the file being replaced lives.
    static Result<ReplacementFile> create(const std::string& folder, const std::string& name,
                                          TempKind kind = TempKind::UnnamedIfSupported);
    ReplacementFile(ReplacementFile&&) = default;
    ~ReplacementFile();

    int fd() const { return fd_.get(); }
    // Mode, owner and group of the original (owner and group where permitted), then fsync
    // unless flush is false (a new file that replaces nothing the user had).
    Status finish(const struct stat& original, bool flush = true);
    // Renames the new file over the original and flushes the folder.
    Status commit();

  private:
    ReplacementFile(UniqueFd dir, UniqueFd fd, std::string name, std::string tempName)
        : dir_(std::move(dir)),
          fd_(std::move(fd)),
          name_(std::move(name)),
          tempName_(std::move(tempName)) {}
    Status giveName();
    void discardName();
    void setNamed(bool on);

    UniqueFd dir_;
    UniqueFd fd_;
    std::string name_;
    std::string tempName_;  // empty while the file is unnamed
    bool named_ = false;
    bool committed_ = false;
};

}  // namespace flv
