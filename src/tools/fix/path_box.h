#pragma once
// A path text box that takes dropped files: the first local file of a drop replaces its text.
// The fix and the encode pages use it for their source and target boxes.
#include <QLineEdit>
#include <QStringList>

namespace tools {

class PathBox : public QLineEdit {
    Q_OBJECT

  public:
    // Which dropped paths the box takes.
    enum class Accept { AnyPath, ExistingFile };
    explicit PathBox(Accept accept, QWidget* parent = nullptr);

    // A drop of these local paths: the first one, with doubled "/" reduced to one, replaces
    // the text (for ExistingFile only when that file exists). True when the text was replaced.
    bool takeDropped(const QStringList& localPaths);

  signals:
    void pathDropped(const QString& path);

  protected:
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;

  private:
    Accept accept_;
};

// "//" anywhere in path reduced to "/" (a path pasted from a script often has them).
QString singleSeparators(const QString& path);

}  // namespace tools
