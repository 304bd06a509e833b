#pragma once
// The list window's remembered values that live in the settings file. They are kept and
// written back unchanged even while no list window has been created.
#include <QString>
#include <array>
#include <optional>

namespace lists {

struct ListWindowValues {
    // Left and top in twips as last applied from the settings file; empty: the default
    // place beside the main window.
    std::optional<std::array<double, 2>> rectTwips;
    QString browserFolder;  // the file browser's folder (ListDir)
    int browserIndex = -1;  // selected file of the browser (ListDirIdx)
    QString saveFolder;     // the save-folder box (SaveDir); empty: beside the source
    int doneToFn = 0;       // check state of chkDoneToFn (DoneToFn)

    friend bool operator==(const ListWindowValues&, const ListWindowValues&) = default;
};

}  // namespace lists
