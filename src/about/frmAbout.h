#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace gapwell {

// The About window: product name, version, description and copyright notice under a white
// header with a picture, with "Web" (opens the home page) and "OK" (closes). A fixed-size tool
// window owned by the main window; at most one is loaded (see ShowAbout). Closing it destroys it.
class frmAbout : public QDialog {
    Q_OBJECT

  public:
    // Builds the controls and runs the load handling.
    explicit frmAbout(QWidget* owner);

  private:
    // Creates the controls with their design-time texts, looks and positions
    // (frmAboutLayout.cpp).
    void BuildControls();

    void Form_Load();
    void cmdOK_Click();
    void cmdWeb_Click();

    QPushButton* cmdWeb = nullptr;
    QPushButton* cmdOK = nullptr;
    QLabel* lblCopyright = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* imgIcon = nullptr;
    QLabel* lblAppName = nullptr;
};

}  // namespace gapwell
