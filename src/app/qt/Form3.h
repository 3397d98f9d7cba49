#pragma once
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <string>

namespace app {

class Form1;

// The Setting window: creates or removes the two launchers, one on the
// Desktop and one among the file manager's "Open With" programs. Whether
// each launcher file exists is the program's only setting.
class Form3 : public QWidget {
public:
    explicit Form3(Form1& form1);

    void Form_Load();
    void Command1_Click();
    void Form_Unload();

    QGroupBox* Frame1;
    QGroupBox* Frame2;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QRadioButton* Option3;
    QRadioButton* Option4;
    QPushButton* Command1;

    std::string sTargetPath;
    std::string sDesktopFolder;
    std::string sSendToFolder;
    std::string sDesktopLink;
    std::string sSendToLink;
    bool bDesktopLinkExisted = false;
    bool bSendToLinkExisted = false;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Creates when wanted and absent at load, deletes when unwanted and
    // present at load, and otherwise leaves the file alone.
    void Apply(bool wanted, bool existed, const std::string& folder, const std::string& link,
               bool onDesktop);

    Form1& form1_;
    std::string programFolder_;
};

}  // namespace app
