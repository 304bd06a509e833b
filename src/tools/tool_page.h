#pragma once
// A tool's page in the list window. The application builds each page with its context and
// hands it to the list window under its area number; the list window calls prepareFields
// whenever the area is shown, and plays sourcePath for the pop-up menu's play item.
#include <QString>
#include <QWidget>
#include <functional>

namespace tools {

// What a page needs of the windows around it; the application fills it in. Empty functions
// behave as "no player": empty filters, nothing played.
struct PageContext {
    std::function<QString()> editFilter;  // the player's EditFilter (media files that tools edit)
    std::function<QString()> openFilter;  // the player's OpenFilter
    std::function<void(const QString&)> playSingle;  // plays a path in the player on its own
};

class ToolPage : public QWidget {
  public:
    explicit ToolPage(QWidget* parent = nullptr) : QWidget(parent) {}
    // The area was switched to: refresh what depends on the rest of the program.
    virtual void prepareFields() {}
    // The file the pop-up menu's play item plays in this area ("" when none).
    virtual QString sourcePath() const { return {}; }
};

}  // namespace tools
