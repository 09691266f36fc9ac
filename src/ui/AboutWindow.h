#pragma once

#include <memory>
#include <QWidget>

namespace Ui {
class frmAbout;
}

namespace ovlix {

struct WindowEnvironment;
class WindowRegistry;

class AboutWindow : public QWidget {
    Q_OBJECT
public:
    AboutWindow(WindowEnvironment& environment, WindowRegistry& windows);
    ~AboutWindow() override;

private:
    std::unique_ptr<Ui::frmAbout> ui;
};

} // namespace ovlix
