#pragma once
// The two play lists as plain data: item texts in list order, the selected item and the
// number of the list shown last. The list window shows this model; the list store saves it.
#include <QString>
#include <QStringList>
#include <array>

namespace lists {

class PlayList {
  public:
    int count() const { return int(items_.size()); }
    bool isEmpty() const { return items_.isEmpty(); }
    const QStringList& items() const { return items_; }
    QString item(int index) const;  // empty when index is out of range

    // -1 when nothing is selected.
    int selected() const { return selected_; }
    // Out-of-range indexes select nothing.
    void select(int index);

    void append(const QString& itemText);
    // After the selected item, or at the front when nothing is selected.
    void insertAfterSelection(const QString& itemText);
    // At index at (clamped to the list), in their order; the selection is left as it was.
    void insertAt(int at, const QStringList& itemTexts);
    void removeAt(int index);
    void clear();
    void setItems(const QStringList& items, int selected);

    friend bool operator==(const PlayList&, const PlayList&) = default;

  private:
    QStringList items_;
    int selected_ = -1;
};

struct PlayLists {
    static constexpr int kCount = 2;
    std::array<PlayList, kCount> list;
    int shownLast = 0;  // 0 or 1

    friend bool operator==(const PlayLists&, const PlayLists&) = default;
};

}  // namespace lists
