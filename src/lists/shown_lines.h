#pragma once
// A plain list widget that shows a model's lines and its selection.
#include <QStringList>

class QListWidget;

namespace lists {

// Puts lines into list and selects row `selected` (nothing when negative). A list that already
// holds these lines is left as it is: rebuilding it would lose its scroll position.
void showLines(QListWidget& list, const QStringList& lines, int selected);

}  // namespace lists
