#pragma once
// A list of the list window: the items as plain data and the box that shows them, kept in
// step. A play list shows each item in the line format (path columns and marks) and keeps the
// item's stored text; the join list shows and keeps paths only.
#include <QString>

#include "lists/play_list.h"

namespace lists {

class ListBox;

enum class ListKind { PlayList, JoinList };

class ShownList {
  public:
    ShownList(PlayList& model, ListBox& box, ListKind kind);

    PlayList& model() { return model_; }
    const PlayList& model() const { return model_; }
    ListBox& box() { return box_; }
    ListKind kind() const { return kind_; }
    // The name the list was last saved under or filled from (a list file's name without
    // extension); "" : none yet.
    QString fileName;

    int count() const { return model_.count(); }
    int selected() const { return model_.selected(); }
    void select(int index);
    // The stored text of an item (path, and for a play list "∥" and marks); index < 0: the
    // selected item.
    QString itemText(int index = -1) const;
    QString itemPath(int index = -1) const;

    // addToList without its refresh: the text in this list's form, inserted after the
    // selection (or appended), and selected.
    void add(const QString& text, bool insertAfterSelection);
    // As add for each text in turn, in one batch: the box gets one insertion, so that ten
    // thousand items take no longer than a load (and a screen reader hears of one change).
    void add(const QStringList& texts, bool insertAfterSelection);
    // The refresh of addToList and of the other changes: extent and scroll to the selection.
    void refresh();

    void removeSelected();
    void clear();
    // d -1 up, +1 down; nothing when it would leave the list.
    void move(int d);
    // By the shown text, without regard to case; the selected index stays.
    void sortByShownText();
    void shuffle();
    void reverse();
    // Replaces every item (a load); the box is redrawn once.
    void setItems(const QStringList& items, int selected);

    // Redraws the lines when the line format changed since they were drawn.
    void redrawIfFormatChanged();
    void redraw();

  private:
    // The text as this list keeps it ("" : nothing to add).
    QString storedText(const QString& text) const;
    QString shownLine(const QString& itemText) const;
    void syncSelectionToBox();

    PlayList& model_;
    ListBox& box_;
    ListKind kind_;
    bool updating_ = false;
};

}  // namespace lists
