#pragma once
#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace app {

class Form1;

// The About window: the version and a word of thanks. The main window stays
// disabled while it is open.
class Form2 : public QWidget {
public:
    explicit Form2(Form1& form1);

    void Form_Load();
    void Command1_Click();
    void Form_Unload();

    QLabel* Label1;
    QPushButton* Command1;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Form1& form1_;
};

}  // namespace app
