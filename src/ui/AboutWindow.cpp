#include "AboutWindow.h"

#include "ui_AboutWindow.h"
#include "WindowEnvironment.h"

namespace ovlix {

AboutWindow::AboutWindow(WindowEnvironment& environment, WindowRegistry&)
    : ui(std::make_unique<Ui::frmAbout>())
{
    ui->setupUi(this);
    ui->LbVersion->setText(QStringLiteral("Ovlix ") + environment.context.AppVersion);
}

AboutWindow::~AboutWindow() = default;

} // namespace ovlix
