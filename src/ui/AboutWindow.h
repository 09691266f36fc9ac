#pragma once

#include <memory>
#include <QWidget>

namespace Ui {
class frmAbout;
}

namespace ovlix {

struct WindowEnvironment;

class AboutWindow : public QWidget {
    Q_OBJECT
public:
    explicit AboutWindow(WindowEnvironment& environment);
    ~AboutWindow() override;

private:
    std::unique_ptr<Ui::frmAbout> ui;
};

} // namespace ovlix
