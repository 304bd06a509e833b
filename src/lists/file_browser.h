#pragma once
// Area 11 of the list window, the file list: drive box Drv1, folder box Dir1 and file list
// Fn1, plus the save-folder box and chkDoneToFn. While it is shown the list window plays
// from this folder (browser mode).
#include <QWidget>

#include "lists/file_browser_host.h"
#include "lists/file_browser_logic.h"
#include "lists/list_window_host.h"
#include "lists/list_window_values.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace lists {

class FileBrowser : public QWidget {
    Q_OBJECT
  public:
    explicit FileBrowser(QWidget* parent = nullptr);

    FileBrowserHost host;

    // Browser mode: what the list play acts on.
    int fileCount() const { return model_.fileCount(); }
    int selectedIndex() const { return model_.selected(); }
    void select(int index);
    // getFnFn: the full path of a listed file, -1 for the selected one; "" for none.
    QString getFnFn(int index = -1) const { return model_.filePath(index); }
    QString folder() const { return model_.folder(); }
    QString drive() const { return model_.drive(); }
    // Double click on a file, the play button and the play item in browser mode.
    void playSelected();
    // The area is shown: the folder is read again and the buttons follow it.
    void shown();

    // Dir1 and Drv1 changed; false when the folder or drive cannot be read (nothing changes).
    bool setFolder(const QString& folder);
    bool setDrive(const QString& root);
    // Show a file in the browser: its folder, the file selected, the browser area shown.
    void showFile(const QString& path);
    // A mouse click on line row of the folder box.
    void folderBoxClicked(int row, Qt::MouseButton button);
    // Tooltip of line row of the file list.
    QString fileToolTip(int row) const;

    // ListDir, ListDirIdx, SaveDir and DoneToFn.
    void applyValues(const ListWindowValues& values);
    void collectValues(ListWindowValues& values) const;

    // The save-folder box (getSaveFolder reads it) and chkDoneToFn.
    QString saveFolder() const;
    void setSaveFolder(const QString& folder);
    void clearSaveFolder() { setSaveFolder({}); }
    void chooseSaveFolder();  // the folder browser
    bool doneToFn() const;
    void setDoneToFn(bool on);

    const FileBrowserModel& model() const { return model_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void showModel();
    void showFiles();  // the file list and its selection only
    void driveChosen(int index);
    void dropHere(const QMimeData& data);
    void notifyFiles();

    FileBrowserModel model_;
    QComboBox* Drv1_ = nullptr;
    QListWidget* Dir1_ = nullptr;
    QListWidget* Fn1_ = nullptr;
    QLineEdit* txtSaveDir_ = nullptr;
    QPushButton* cmdSaveDir_ = nullptr;
    QPushButton* cmdClearSaveDir_ = nullptr;
    QCheckBox* chkDoneToFn_ = nullptr;
    bool showing_ = false;
};

// What browser mode asks of the browser (frmList::browser).
BrowserItems browserItems(FileBrowser& browser);

}  // namespace lists
