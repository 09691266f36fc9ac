#include "AboutWindow.h"

#include "ProgramLook.h"
#include "ui_AboutWindow.h"
#include "WindowEnvironment.h"

namespace ovlix {

AboutWindow::AboutWindow(WindowEnvironment& environment) : ui(std::make_unique<Ui::frmAbout>())
{
    ui->setupUi(this);
    useLargeFont(*ui->Label2);
    // The first web address line is 9.75 points, as the headings are; a form
    // holds whole points only.
    useHeadingFont(*ui->Label3);
    ui->LbVersion->setText(QStringLiteral("Ovlix ") + environment.context.AppVersion);
#ifdef Q_OS_WIN
    // The installer puts the README beside the program (and in the Start
    // menu), not in the folder Debian keeps it in.
    ui->Label6->setText(QStringLiteral("README.md"));
#endif
}

AboutWindow::~AboutWindow() = default;

} // namespace ovlix
