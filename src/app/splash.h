#pragma once
// The splash window shown while the player starts.
#include <QWidget>

namespace app {

class frmSplash : public QWidget {
  public:
    frmSplash();

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace app
